#pragma once

#include <QStringList>

class QIODevice;

// The entries of server.conf, read from an open device: every line that is
// not empty or blank, as written and in file order.
QStringList serverEntries(QIODevice& device);

// The server an entry names: without blanks around it.
QString serverName(const QString& entry);
