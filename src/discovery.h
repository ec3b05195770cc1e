#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A file server that announced itself on the local network: the name it
// gave (a computer or host name, empty if it gave none usable) and its IPv4
// address.
struct FoundServer {
    QString name;
    QString address;
    bool operator==(const FoundServer&) const = default;
};

// One line of "wsdd --discovery --no-host -4 -s -v" (its log on standard
// error): "INFO: discovered NAME in Workgroup:WG on ADDR%IF" (or "Domain:").
// Devices without a computer record (printers) log no workgroup and are no
// file servers.
std::optional<FoundServer> wsddFound(const QByteArray& line);

// One line of "avahi-browse -p -r -t -k _smb._tcp": only resolved IPv4 rows
// on port 445, "=;IF;IPv4;SERVICE;_smb._tcp;DOMAIN;HOST;ADDR;445;TXT", with
// avahi's escapes (\DDD for a byte, \X for X) undone. The name is the host
// name ("nas.local"), the one the server is reached by.
std::optional<FoundServer> avahiFound(const QByteArray& line);

// A name the chooser may show and the commands may take: letters of any
// script, digits, "-", "_" and "." (not first), at most 253 characters.
bool usableServerName(const QString& name);

// What compares equal for two entries naming one host: an address as it
// stands, a name without its letter case and without everything from its
// first "." on ("FILESERVER", "fileserver.local" and "fileserver.example.org"
// are one). An entry written "//host" or with blanks around it counts as host.
QString hostKey(const QString& entry);

// Whether a found server is one of the entries already in the chooser, by
// name or by address; the found ones among them are compared by their
// addresses too.
bool alreadyListed(const FoundServer& server, const QStringList& entries, const QList<FoundServer>& found);
