#pragma once

#include <QString>

#include <unistd.h>

// Places and bounds the program works with. The defaults are what the program
// uses; test drivers replace them before the dialog is built.
struct SystemPaths {
    QString smbclient = QStringLiteral("/usr/bin/smbclient");
    QString mountCifs = QStringLiteral("/sbin/mount.cifs");
    QString programDir; // empty: the directory of the running executable
    // Bound for every command that is waited for or watched.
    int commandTimeoutMs = 30000;
    // Period of the keep-alive touches.
    int keepAlivePeriodMs = 300000;
    // As root, mount and umount run directly; otherwise through pkexec and
    // the mount helper in the program directory.
    bool asRoot = ::geteuid() == 0;
    // The ids a normal user's shares are mounted for.
    unsigned uid = ::getuid(), gid = ::getgid();
    // Where shares are mounted: the mount helper takes nothing else.
    QString mountBase = QStringLiteral("/mnt");
    // Finding servers on the network: off unless main() turns it on, so that no test driver sends a
    // multicast by accident. The programs it runs and their bounds: wsdd listens for the whole window.
    bool discover = false;
    QString wsdd = QStringLiteral("/usr/sbin/wsdd");
    QString avahiBrowse = QStringLiteral("/usr/bin/avahi-browse");
    QString getent = QStringLiteral("/usr/bin/getent");
    int wsddWindowMs = 6000, avahiBoundMs = 10000, lookupBoundMs = 3000;
};

SystemPaths& systemPaths();

// Directory holding server.conf, buttons/ and the mount helper.
QString programDirectory();
