#include "discovery.h"

#include <QRegularExpression>

#include <cctype>

namespace {

bool isIpv4(const QString& text)
{
    static const QRegularExpression ipv4(QStringLiteral(
        "^((25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])\\.){3}(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])$"));
    return ipv4.match(text).hasMatch();
}

// avahi-browse writes "\DDD" (decimal) for a byte and "\X" for a "." or "\" that belongs to the label.
QString unescaped(const QByteArray& field)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            bytes += field[i];
        } else if (i + 3 < field.size() && std::isdigit(uchar(field[i + 1])) && std::isdigit(uchar(field[i + 2])) &&
                   std::isdigit(uchar(field[i + 3]))) {
            const int value = field.mid(i + 1, 3).toInt();
            bytes += value < 256 ? char(value) : '?';
            i += 3;
        } else {
            bytes += field[++i];
        }
    }
    return QString::fromUtf8(bytes);
}

} // namespace

bool usableServerName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[\\p{L}\\p{N}][\\p{L}\\p{N}\\p{M}._-]{0,252}$"));
    return pattern.match(name).hasMatch() && !name.contains(QLatin1String(".."));
}

std::optional<FoundServer> wsddFound(const QByteArray& line)
{
    const QString text = QString::fromUtf8(line).trimmed();
    static const QRegularExpression pattern(
        QStringLiteral("^(?:.* )?INFO(?:\\([^)]*\\))?: discovered (.+) in (?:Workgroup|Domain):\\S* on (\\S+)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString address = match.captured(2).section(QLatin1Char('%'), 0, 0);
    if (!isIpv4(address))
        return std::nullopt;
    const QString name = match.captured(1);
    return FoundServer{usableServerName(name) ? name : QString(), address};
}

std::optional<FoundServer> avahiFound(const QByteArray& line)
{
    const QList<QByteArray> fields = line.trimmed().split(';');
    if (fields.size() < 9 || fields[0] != "=" || fields[2] != "IPv4" || fields[4] != "_smb._tcp" || fields[8] != "445")
        return std::nullopt;
    const QString address = QString::fromLatin1(fields[7]);
    if (!isIpv4(address))
        return std::nullopt;
    const QString name = unescaped(fields[6]);
    return FoundServer{usableServerName(name) ? name : QString(), address};
}

QString hostKey(const QString& entry)
{
    QString host = entry.trimmed();
    while (host.startsWith(QLatin1Char('/')) || host.startsWith(QLatin1Char('\\')))
        host.remove(0, 1);
    return isIpv4(host) || host.contains(QLatin1Char(':')) ? host : host.section(QLatin1Char('.'), 0, 0).toLower();
}

bool alreadyListed(const FoundServer& server, const QStringList& entries, const QList<FoundServer>& found)
{
    const QString key = hostKey(server.name.isEmpty() ? server.address : server.name);
    for (const QString& entry : entries) {
        const QString listed = hostKey(entry);
        if (listed == key || listed == server.address)
            return true;
    }
    for (const FoundServer& other : found) {
        if (other.address == server.address)
            return true;
    }
    return false;
}
