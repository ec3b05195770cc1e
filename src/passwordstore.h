#pragma once

#include "commands.h"
#include "sharelisting.h"

#include <QCoreApplication>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
namespace QKeychain {
class Job;
}

// The name a password is kept under in the desktop's keyring, as the user's keyring manager shows it:
// "sharedeck: USER@SERVER", the user name as typed (with its domain), the server without "//" or "\\".
QString passwordLabel(const QString& user, const QString& server);

// Reads, writes and deletes remembered passwords in the desktop's keyring (the Secret Service or KWallet,
// through QtKeychain). Every call runs in the background and is bounded by the command bound: once the keyring
// fails or does not answer in time, the store is unavailable for the rest of its life and says why.
class PasswordStore : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    void lookUp(const QString& label);
    void store(const QString& label, const QString& password);
    void forget(const QString& label);
    // Why the keyring cannot be used; empty while it works.
    const QString& problem() const { return why; }

signals:
    // The password kept under the label; nothing comes for a label without one.
    void found(const QString& label, const QString& password);
    void unavailable(const QString& why);

private:
    void run(QKeychain::Job* job, const QString& label, std::function<void(QKeychain::Job*)> answer = {});
    void fail(const QString& reason);

    QString why;
};

// How a listing or a mount made with a password went: it worked, the server refused the password, it failed
// otherwise, or it did not run to an end (stopped, authentication dismissed).
enum class PasswordOutcome { Worked, Refused, Failed, Unused };
PasswordOutcome listingOutcome(CommandEnd end, const ListingResult& listing, const QString& output);
PasswordOutcome mountOutcome(CommandEnd end);

// The window's password field and its box "Passwort merken", kept in step with the keyring:
// - choosing a server or leaving the user name field looks the password up; one found fills an empty password
//   field and checks the box, unless the user typed there (or clicked the box) meanwhile;
// - a listing or mount that worked with a typed password, the box checked, stores it; one made after the user
//   unchecked the box forgets the stored password of that user and server;
// - a remembered password the server refused is not used again in this window, until a typed one works;
// - without a keyring the box is disabled, its tooltip says why.
class RememberedPasswords : public QObject
{
    // Its texts under its own name; it has no signals or slots of its own.
    Q_DECLARE_TR_FUNCTIONS(RememberedPasswords)

public:
    enum Way { Listing, Mount };

    RememberedPasswords(QComboBox* servers, QLineEdit* user, QLineEdit* password, QCheckBox* box, QObject* parent);

    // A listing or a mount started with these credentials; an empty password (Kerberos) is never remembered.
    void started(Way way, const QString& user, const QString& server, const QString& password);
    // Its end: returns the sentence the window adds to its message, if any.
    QString ended(Way way, PasswordOutcome outcome);

private:
    struct Use {
        QString label, password;
        bool remembered = false, keep = false, drop = false;
    };
    void lookUp();
    void found(const QString& label, const QString& password);
    void unavailable(const QString& why);

    QComboBox* servers;
    QLineEdit *user, *password;
    QCheckBox* box;
    PasswordStore store;
    Use uses[2];
    QString asked;       // the label of the last look-up
    QString filledLabel; // whose remembered password the field holds, not edited since
    // The user's edits of the field and clicks on the box, and their number when the last look-up started.
    quint64 edits = 0, clicks = 0, editsAtAsk = 0, clicksAtAsk = 0;
    bool boxFromFill = false;   // checked by a look-up, not by the user
    bool userUnchecked = false; // the user's last click unchecked the box
    QSet<QString> refused;
};
