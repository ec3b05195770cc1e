#include "passwordstore.h"

#include "serverlist.h"
#include "sharelisting.h"
#include "systempaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include <qt6keychain/keychain.h>

#include <utility>

namespace {

const QString labelPrefix = QStringLiteral("sharedeck: ");

} // namespace

QString passwordLabel(const QString& user, const QString& server)
{
    return labelPrefix + user + QLatin1Char('@') + serverHost(server);
}

void PasswordStore::lookUp(const QString& label)
{
    run(new QKeychain::ReadPasswordJob(label), label, [this, label](QKeychain::Job* job) {
        if (job->error() == QKeychain::NoError)
            emit found(label, static_cast<QKeychain::ReadPasswordJob*>(job)->textData());
    });
}

void PasswordStore::store(const QString& label, const QString& password)
{
    auto* job = new QKeychain::WritePasswordJob(label);
    job->setTextData(password);
    run(job, label);
}

void PasswordStore::forget(const QString& label)
{
    run(new QKeychain::DeletePasswordJob(label), label);
}

// The job has no parent and deletes itself once it has finished: deleting one that still waits for the
// keyring would leave the keyring library a dangling job. A job past its bound is no longer listened to.
void PasswordStore::run(QKeychain::Job* job, const QString& label, std::function<void(QKeychain::Job*)> answer)
{
    if (!why.isEmpty()) {
        delete job; // not started yet
        return;
    }
    // The label (the job's service) names the item in a keyring manager; the key (user@server) is the same.
    job->setKey(label.mid(labelPrefix.size()));
    // Never a file of its own when there is no keyring.
    job->setInsecureFallback(false);
    auto* bound = new QTimer(this);
    bound->setSingleShot(true);
    connect(bound, &QTimer::timeout, this, [this, job, bound] {
        disconnect(job, nullptr, this, nullptr);
        bound->deleteLater();
        fail(tr("Der Schlüsselbund hat nicht innerhalb von %1 s geantwortet.")
                 .arg(systemPaths().commandTimeoutMs / 1000.0));
    });
    connect(job, &QKeychain::Job::finished, this, [this, bound, answer](QKeychain::Job* done) {
        delete bound;
        if (!why.isEmpty())
            return;
        // Anything but "found" or "not there" means there is no keyring to use: no service, no session, a
        // locked keyring whose unlock was cancelled. Their errors cannot be told apart reliably.
        if (done->error() != QKeychain::NoError && done->error() != QKeychain::EntryNotFound)
            fail(done->errorString());
        else if (answer)
            answer(done);
    });
    job->start();
    bound->start(systemPaths().commandTimeoutMs);
}

void PasswordStore::fail(const QString& reason)
{
    if (!why.isEmpty())
        return;
    why = reason.isEmpty() ? tr("unbekannter Fehler") : reason;
    emit unavailable(why);
}

PasswordOutcome listingOutcome(CommandEnd end, const ListingResult& listing, const QString& output)
{
    switch (end) {
    case CommandEnd::Succeeded:
    case CommandEnd::Failed:
        // What smbclient printed tells, not its status: a full list may end with 1 (a server given as an IPv6
        // address), a failure with 0.
        if (listing.kind != ListingResult::Failed)
            return PasswordOutcome::Worked;
        return output.contains(QLatin1String("NT_STATUS_LOGON_FAILURE")) ? PasswordOutcome::Refused
                                                                         : PasswordOutcome::Failed;
    case CommandEnd::Stopped:
        return PasswordOutcome::Unused;
    default:
        return PasswordOutcome::Failed;
    }
}

PasswordOutcome mountOutcome(CommandEnd end)
{
    switch (end) {
    case CommandEnd::Succeeded:
        return PasswordOutcome::Worked;
    case CommandEnd::Stopped:
    case CommandEnd::Dismissed:
        return PasswordOutcome::Unused;
    default:
        return PasswordOutcome::Failed;
    }
}

RememberedPasswords::RememberedPasswords(QComboBox* servers, QLineEdit* user, QLineEdit* password, QCheckBox* box,
                                         QObject* parent)
    : QObject(parent), servers(servers), user(user), password(password), box(box)
{
    connect(&store, &PasswordStore::found, this, &RememberedPasswords::found);
    connect(&store, &PasswordStore::unavailable, this, &RememberedPasswords::unavailable);
    connect(servers, &QComboBox::currentIndexChanged, this, &RememberedPasswords::lookUp);
    connect(user, &QLineEdit::editingFinished, this, &RememberedPasswords::lookUp);
    // Only what the user does: setText() and setChecked() from here emit neither.
    connect(password, &QLineEdit::textEdited, this, [this] {
        ++edits;
        filledLabel.clear();
    });
    connect(box, &QCheckBox::clicked, this, [this](bool checked) {
        ++clicks;
        boxFromFill = false;
        userUnchecked = !checked;
    });
    // The first look-up also tells at once whether there is a keyring at all.
    lookUp();
}

void RememberedPasswords::lookUp()
{
    const QString label = passwordLabel(user->text(), serverName(servers->currentText()));
    if (label == asked)
        return;
    asked = label;
    // A remembered password is for its own user and server only, and so is a check the look-up made.
    if (!std::exchange(filledLabel, QString()).isEmpty())
        password->clear();
    if (std::exchange(boxFromFill, false))
        box->setChecked(false);
    editsAtAsk = edits;
    clicksAtAsk = clicks;
    // A refused password is still kept, and a working one typed now replaces it.
    if (refused.contains(label))
        found(label, {});
    else
        store.lookUp(label);
}

void RememberedPasswords::found(const QString& label, const QString& remembered)
{
    if (label != asked)
        return;
    if (clicks == clicksAtAsk && !box->isChecked()) {
        box->setChecked(true);
        boxFromFill = true;
    }
    if (edits == editsAtAsk && password->text().isEmpty() && !refused.contains(label)) {
        password->setText(remembered);
        filledLabel = label;
    }
}

void RememberedPasswords::unavailable(const QString& why)
{
    box->setChecked(false);
    box->setEnabled(false);
    box->setToolTip("<p>" +
                    tr("Passwörter lassen sich nicht merken: Der Schlüsselbund des Desktops ist nicht erreichbar (%1).")
                        .arg(why)
                        .toHtmlEscaped() +
                    "</p>");
}

void RememberedPasswords::started(Way way, const QString& name, const QString& server, const QString& typed)
{
    Use& use = uses[way];
    use = {};
    if (typed.isEmpty() || !store.problem().isEmpty())
        return;
    use.label = passwordLabel(name, server);
    use.password = typed;
    use.remembered = filledLabel == use.label && password->text() == typed;
    use.keep = box->isChecked();
    use.drop = !box->isChecked() && userUnchecked;
}

QString RememberedPasswords::ended(Way way, PasswordOutcome outcome)
{
    const Use use = std::exchange(uses[way], {});
    if (use.label.isEmpty() || outcome == PasswordOutcome::Unused)
        return {};
    const bool inField = password->text() == use.password;
    if (use.drop) {
        store.forget(use.label);
        if (filledLabel == use.label)
            filledLabel.clear(); // what the field holds is no longer kept anywhere
    }
    if (outcome == PasswordOutcome::Refused && use.remembered) {
        refused.insert(use.label);
        if (inField && filledLabel == use.label) {
            password->clear();
            filledLabel.clear();
        }
        return tr(" Das gemerkte Passwort wurde nicht angenommen und wird nicht mehr eingesetzt. Bitte geben Sie "
                  "das richtige Passwort ein: Es ersetzt das gemerkte, sobald die Anmeldung damit gelingt.");
    }
    if (outcome == PasswordOutcome::Worked && use.keep && !use.remembered) {
        store.store(use.label, use.password);
        refused.remove(use.label);
        if (inField && asked == use.label)
            filledLabel = use.label;
    }
    return {};
}
