#pragma once

#include "discovery.h"

#include <QObject>
#include <QProcess>
#include <QTimer>

#include <memory>
#include <vector>

// Asks the local network for file servers through the system's own programs:
// wsdd (WS-Discovery) and avahi-browse (DNS-SD), both children in the
// background, each bounded in time and in what it may write. A server's name
// is taken when "getent hosts" resolves it (also bounded), else its address.
// A missing program or daemon finds nothing and says nothing.
class ServerDiscovery : public QObject
{
    Q_OBJECT

public:
    explicit ServerDiscovery(QObject* parent = nullptr);
    // Ends whatever still runs, with all it started.
    ~ServerDiscovery() override;
    // Starts a round; while one runs, another after it.
    void search();
    bool searching() const { return !children.empty(); }

signals:
    // Once per server and round, with the name it is reached by.
    void found(const FoundServer& server);
    // All servers found in the round that just ended.
    void roundEnded(const QList<FoundServer>& servers);

private:
    struct Child;
    // A server of this round: its address, the names it was announced by, whether they are being looked up.
    struct Candidate {
        QString address;
        QStringList names;
        bool done = false;
        bool dnssd = false; // announced by DNS-SD too
    };
    // False when the program is not installed.
    bool start(const QString& program, const QStringList& arguments, int boundMs, int candidate = -1);
    void read(Child* child);
    void ended(Child* child);
    void add(const FoundServer& server, bool preferred);
    void lookUpNext();
    void finish(int candidate, const QString& name);

    std::vector<std::unique_ptr<Child>> children, ended_;
    QList<Candidate> candidates;
    QList<FoundServer> roundFound;
    int lookups = 0;
    bool askedAgain = false;
};
