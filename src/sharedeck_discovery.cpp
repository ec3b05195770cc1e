#include "sharedeck.h"

#include "serverdiscovery.h"
#include "systempaths.h"

#include <QAbstractItemView>

#include <functional>

namespace {

// Calls back each time the watched widget is shown.
class ShowWatcher : public QObject
{
public:
    ShowWatcher(QObject* parent, std::function<void()> shown) : QObject(parent), shown(std::move(shown)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            shown();
        return false;
    }

private:
    std::function<void()> shown;
};

} // namespace

// The network is asked at start and each time the chooser opens; what it finds comes after server.conf's lines.
void sharedeck::startDiscovery()
{
    if (!systemPaths().discover)
        return;
    configuredServers = ServerComboBox->count();
    discovery = new ServerDiscovery(this);
    connect(discovery, &ServerDiscovery::found, this, &sharedeck::serverFound);
    connect(discovery, &ServerDiscovery::roundEnded, this, &sharedeck::discoveryRoundEnded);
    ServerComboBox->view()->installEventFilter(new ShowWatcher(this, [this] { discovery->search(); }));
    discovery->search();
}

void sharedeck::serverFound(const FoundServer& server)
{
    QStringList entries;
    for (int i = 0; i < ServerComboBox->count(); ++i)
        entries << ServerComboBox->itemText(i);
    if (alreadyListed(server, entries, foundServers))
        return;
    foundServers.append(server);
    // Appended: neither the selection nor the focus moves.
    ServerComboBox->addItem(server.name);
    qInfo("sharedeck: found on the network: \"%s\" (%s)", qUtf8Printable(server.name), qUtf8Printable(server.address));
}

// A found server not seen in this round goes, unless it is selected. While a share is mounted none goes: it
// may be one of theirs.
void sharedeck::discoveryRoundEnded(const QList<FoundServer>& servers)
{
    if (!mountedDirs.isEmpty())
        return;
    const QString selected = ServerComboBox->currentText();
    for (qsizetype i = foundServers.size() - 1; i >= 0; --i) {
        const FoundServer& shown = foundServers[i];
        const bool seen = std::any_of(servers.begin(), servers.end(), [&](const FoundServer& s) {
            return s.address == shown.address || hostKey(s.name) == hostKey(shown.name);
        });
        if (seen || shown.name == selected)
            continue;
        qInfo("sharedeck: no longer on the network: \"%s\"", qUtf8Printable(shown.name));
        ServerComboBox->removeItem(configuredServers + int(i));
        foundServers.removeAt(i);
    }
}
