#include "serverdiscovery.h"

#include "commands.h"
#include "systempaths.h"

#include <QFileInfo>

namespace {
// What one discovery program may write in a round, and how long a line may be; more is cut off.
constexpr qsizetype maxOutput = qsizetype(1) << 20, maxLine = 4096;
// Servers taken from one round, and name lookups running at once.
constexpr int maxServers = 64, maxLookups = 4;
} // namespace

struct ServerDiscovery::Child {
    QProcess process;
    QTimer deadline;
    QByteArray line;
    qsizetype received = 0;
    int candidate = -1; // of a name lookup, and the name it looks up
    QString name;
    std::optional<FoundServer> (*parse)(const QByteArray&) = nullptr;
};

ServerDiscovery::ServerDiscovery(QObject* parent) : QObject(parent) {}

ServerDiscovery::~ServerDiscovery()
{
    for (const auto& child : children) {
        disconnect(&child->process, nullptr, this, nullptr);
        stopCommand(child->process);
        child->process.waitForFinished(1000);
    }
}

void ServerDiscovery::search()
{
    // Asked while a round runs: what was seen before the question may be stale, so one more round follows.
    if (searching()) {
        askedAgain = true;
        return;
    }
    askedAgain = false;
    candidates.clear();
    roundFound.clear();
    const SystemPaths& paths = systemPaths();
    // wsdd never ends by itself: it listens for the whole window, then is ended. IPv4 only: one start-up
    // delay instead of two, and a link-local IPv6 address could not be mounted anyway.
    start(paths.wsdd, {"--discovery", "--no-host", "-4", "--shortlog", "-v"}, paths.wsddWindowMs);
    // Ends once the list is complete (longer while cached servers that are gone time out).
    // This machine's own services are no servers to choose.
    start(paths.avahiBrowse, {"-p", "-r", "-t", "-k", "-l", "_smb._tcp"}, paths.avahiBoundMs);
    if (!searching())
        emit roundEnded({});
}

bool ServerDiscovery::start(const QString& program, const QStringList& arguments, int boundMs, int candidate)
{
    if (!QFileInfo(program).isExecutable())
        return false;
    auto child = std::make_unique<Child>();
    Child* c = child.get();
    c->candidate = candidate;
    c->parse = program == systemPaths().wsdd ? wsddFound : avahiFound;
    c->process.setProcessChannelMode(QProcess::MergedChannels);
    connect(&c->process, &QProcess::readyRead, this, [this, c] { read(c); });
    connect(&c->process, &QProcess::finished, this, [this, c] { ended(c); });
    // Reported later, so that a round does not end while its programs are still being started.
    connect(
        &c->process, &QProcess::errorOccurred, this,
        [this, c](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                ended(c);
        },
        Qt::QueuedConnection);
    c->deadline.setSingleShot(true);
    connect(&c->deadline, &QTimer::timeout, this, [c] { stopCommand(c->process); });
    Command command{program, arguments};
    ownEnvironment(command).insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    children.push_back(std::move(child));
    startCommand(c->process, command);
    c->deadline.start(boundMs);
    return true;
}

void ServerDiscovery::read(Child* child)
{
    const QByteArray more = child->process.readAll();
    if (child->candidate >= 0)
        return; // getent: only its exit status counts
    child->received += more.size();
    for (const char byte : more) {
        if (byte != '\n') {
            if (child->line.size() < maxLine)
                child->line += byte;
            continue;
        }
        if (child->line.size() < maxLine) {
            if (const std::optional<FoundServer> server = child->parse(child->line))
                add(*server, child->parse == avahiFound);
        }
        child->line.clear();
    }
    // A program that floods is stopped: what it wrote so far counts.
    if (child->received > maxOutput || candidates.size() >= maxServers)
        stopCommand(child->process);
}

void ServerDiscovery::ended(Child* child)
{
    const auto it = std::find_if(children.begin(), children.end(), [child](const auto& c) { return c.get() == child; });
    if (it == children.end())
        return;
    // Deleted once its own signal is done with it.
    ended_.push_back(std::move(*it));
    children.erase(it);
    child->deadline.stop();
    QMetaObject::invokeMethod(
        this, [this] { ended_.clear(); }, Qt::QueuedConnection);
    if (child->candidate >= 0) {
        --lookups;
        Candidate& candidate = candidates[child->candidate];
        const QString name = child->name;
        candidate.names.removeOne(name);
        if (child->process.exitStatus() == QProcess::NormalExit && child->process.exitCode() == 0 &&
            child->process.error() != QProcess::FailedToStart)
            finish(child->candidate, name);
        else if (candidate.names.isEmpty())
            finish(child->candidate, candidate.address);
    }
    lookUpNext();
    if (searching())
        return;
    emit roundEnded(roundFound);
    if (askedAgain)
        search();
}

void ServerDiscovery::add(const FoundServer& server, bool preferred)
{
    for (Candidate& candidate : candidates) {
        if (candidate.address != server.address)
            continue;
        // A name the host gave by another way is tried too, a DNS-SD host name first.
        if (!candidate.done && !server.name.isEmpty() && !candidate.names.contains(server.name))
            candidate.names.insert(preferred ? 0 : candidate.names.size(), server.name);
        candidate.dnssd |= preferred;
        lookUpNext();
        return;
    }
    if (candidates.size() >= maxServers)
        return;
    candidates.append(
        {server.address, server.name.isEmpty() ? QStringList() : QStringList{server.name}, false, preferred});
    if (server.name.isEmpty())
        finish(int(candidates.size()) - 1, server.address);
    lookUpNext();
}

void ServerDiscovery::lookUpNext()
{
    // A server found by WS-Discovery alone waits for the DNS-SD answers, which may name it by its .local name.
    const bool browsing = std::any_of(children.begin(), children.end(),
                                      [](const auto& c) { return c->candidate < 0 && c->parse == avahiFound; });
    for (int i = 0; i < candidates.size() && lookups < maxLookups; ++i) {
        const Candidate& candidate = candidates[i];
        const bool running =
            std::any_of(children.begin(), children.end(), [i](const auto& c) { return c->candidate == i; });
        if (candidate.done || running || candidate.names.isEmpty() || (browsing && !candidate.dnssd))
            continue;
        if (start(systemPaths().getent, {"hosts", candidate.names.first()}, systemPaths().lookupBoundMs, i)) {
            children.back()->name = candidate.names.first();
            ++lookups;
        } else
            finish(i, candidate.address); // no getent: the address is what surely reaches the server
    }
}

void ServerDiscovery::finish(int candidate, const QString& name)
{
    Candidate& c = candidates[candidate];
    if (c.done)
        return;
    c.done = true;
    roundFound.append({name, c.address});
    emit found(roundFound.last());
}
