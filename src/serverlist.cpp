#include "serverlist.h"

#include <QTextStream>

QStringList serverEntries(QIODevice& device)
{
    QStringList entries;
    QTextStream stream(&device);
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        if (!line.trimmed().isEmpty())
            entries.append(line);
    }
    return entries;
}

QString serverName(const QString& entry)
{
    return entry.trimmed();
}
