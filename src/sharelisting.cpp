#include "sharelisting.h"

bool isOfferableShareName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/')))
        return false;
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

QStringList diskSharesFromListing(const QString& output)
{
    QStringList shares;
    for (QStringView line : QStringView(output).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // Share names cannot contain "|", comments can: the name is the second field.
        const QList<QStringView> fields = line.split(QLatin1Char('|'));
        if (fields.size() < 2 || fields[0] != QLatin1String("Disk"))
            continue;
        const QString name = fields[1].toString();
        if (!name.contains(QLatin1Char('$')) && isOfferableShareName(name))
            shares.append(name);
    }
    return shares;
}
