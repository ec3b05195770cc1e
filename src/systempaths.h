#pragma once

#include <QString>

// Places the program looks at on the system. The defaults are what the
// program uses; test drivers replace them before the dialog is built.
struct SystemPaths {
    QString smbclient = QStringLiteral("/usr/bin/smbclient");
    QString mountCifs = QStringLiteral("/sbin/mount.cifs");
    QString programDir; // empty: the directory of the running executable
};

SystemPaths& systemPaths();

// Directory holding server.conf and buttons/.
QString programDirectory();
