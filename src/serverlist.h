#pragma once

#include <QStringList>

class QIODevice;

// The entries of server.conf, read from an open device: every line that is
// not empty, verbatim and in file order.
QStringList serverEntries(QIODevice& device);
