#pragma once

#include <QString>
#include <QStringList>

// The disk shares in the output of "smbclient -g -L": one line per share,
// "type|name|comment". Hidden shares (a "$" in the name) and names that would
// not make a mount point inside /mnt are left out.
QStringList diskSharesFromListing(const QString& output);

// A name the server sent that is safe to append to "/mnt/".
bool isOfferableShareName(const QString& name);

// A failed listing in plain words: what happened and what to do, in the interface's language,
// and the line of smbclient's output that tells it (warnings may come before
// it). Both empty for a failure not known here. A listing with a Kerberos
// ticket that failed on anything but the way to the server failed on the
// ticket or the server's place in the domain: then the advice says so and the
// line is the first that names a status, if any.
struct ListingFailure {
    QString advice, line;
};
ListingFailure explainListingFailure(const QString& output, bool kerberos = false);

// A listing judged by what smbclient printed, not by its status alone: it
// ends 0 when the server took the connection but handed out no list, and 1
// after a whole list from a server given by an IPv6 address ("... -- no
// workgroup available" follows it). Shares: the disk shares, with nothing but
// that remark behind them unless the status was 0. NoDiskShares: the server
// answered with a list that holds none. Anything else failed; failure is then
// the plain words, empty when not known.
struct ListingResult {
    enum Kind { Shares, NoDiskShares, Failed } kind;
    QStringList shares;
    ListingFailure failure;
};
ListingResult judgeListing(const QString& output, int exitCode, bool kerberos = false);

// What to do about a failed mount in plain words, in the interface's language, where mount's
// output (and, for Kerberos, the options it ran with) tell it; else empty.
QString mountFailureAdvice(const QString& output, const QString& options = {});

// pkexec's line when it found no authentication agent to ask the user
// ("Error creating textual authentication agent: ..."): then nothing was
// refused. Empty for any other output.
QString missingAgentLine(const QString& output);
