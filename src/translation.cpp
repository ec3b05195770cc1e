#include "translation.h"

#include <QCoreApplication>
#include <QRegularExpression>

bool prefersEnglish(const QStringList& uiLanguages)
{
    for (const QString& language : uiLanguages) {
        const QString code = language.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
        if (code == QLatin1String("en"))
            return true;
        if (code == QLatin1String("de"))
            return false;
    }
    return false;
}

namespace {

// The helper's lines that the window knows, with %1, %2 for the paths, names and numbers it puts in. A line
// may go on with ": " and the system's error text, which is English already.
const char* const helperLines[] = {
    QT_TRANSLATE_NOOP("sharedeck-mount", "Muss als root laufen (über pkexec)"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "PKEXEC_UID ist ungültig"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Das Passwort kam nicht innerhalb von %1 s an"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Das Passwort lässt sich nicht lesen"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Das Passwort ist länger als %1 Bytes"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Das Passwort enthält ein Nullbyte"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 lässt sich nicht schreiben: %2; die Freigabe wurde wieder ausgehängt"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 lässt sich nicht lesen"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 lässt sich nicht schreiben"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 lässt sich nicht anlegen"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 lässt sich nicht als Verzeichnis öffnen"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 lässt sich nicht öffnen"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 lässt sich nicht sperren"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 lässt sich nicht starten"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 lässt sich nicht prüfen"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 muss ein Verzeichnis von root sein"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 muss root gehören und darf nur für root beschreibbar sein"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Ein anderes Ein- oder Aushängen ist nicht rechtzeitig fertig geworden"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 hat nicht innerhalb von %2 s geantwortet und wurde abgebrochen"),
    QT_TRANSLATE_NOOP("sharedeck-mount",
                      "Das Ein- oder Aushängen ist nicht innerhalb von %1 s fertig geworden und wurde abgebrochen"),
    QT_TRANSLATE_NOOP("sharedeck-mount",
                      "Sie haben schon %1 Freigaben mit sharedeck eingehängt; bitte hängen Sie zuerst eine davon aus"),
    QT_TRANSLATE_NOOP("sharedeck-mount",
                      "Die eingehängte Freigabe ließ sich nicht erkennen und wurde wieder ausgehängt"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Am Einhängepunkt liegt außer der Freigabe noch etwas anderes; alles dort "
                                         "wurde wieder ausgehängt"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Die Freigabe ist nicht wie verlangt (mit nosuid und nodev) eingehängt worden "
                                         "und wurde wieder ausgehängt"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 wurde nicht von sharedeck für Sie eingehängt"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Interner Fehler"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Aufruf: sharedeck-mount mount [--create] //SERVER/FREIGABE /mnt/NAME "
                                         "OPTIONEN | sharedeck-mount umount /mnt/NAME"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Unbekannter Benutzer %1"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Die Freigabe muss //SERVER/FREIGABE lauten: %1"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Ungültiger Servername (erlaubt: Rechnername, IPv4- oder IPv6-Adresse): %1"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Ungültiger Freigabename: %1"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Leerer Eintrag in den Einhängeoptionen"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Einhängeoption nicht erlaubt: %1"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Einhängeoption mehrfach angegeben: %1"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Ungültiger Wert bei Einhängeoption %1"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "uid= und gid= dürfen nur Ihre eigene Kennung nennen (uid=%1, gid=%2)"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "cruid= darf nur Ihre eigene Kennung nennen (cruid=%1)"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Der Einhängepunkt muss /mnt/NAME lauten: %1"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Ein Einhängepunkt darf nicht mit - oder . beginnen und muss UTF-8 sein: %1"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Den Einhängepunkt %1 gibt es nicht"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "Den Einhängepunkt %1 gibt es schon"),
    QT_TRANSLATE_NOOP("sharedeck-mount",
                      "%1 ist kein Verzeichnis (sondern z. B. eine Datei oder ein symbolischer Link)"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 ist kein Verzeichnis"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 ist schon ein Einhängepunkt"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 gehört root: bitte wählen Sie in der Tabelle einen anderen Einhängepunkt"),
    QT_TRANSLATE_NOOP("sharedeck-mount",
                      "%1 gehört dem Benutzer %2: bitte wählen Sie in der Tabelle einen anderen Einhängepunkt"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 ist nicht leer"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 ist nicht eingehängt"),
    QT_TRANSLATE_NOOP("sharedeck-mount", "%1 ist keine eingehängte Freigabe"),
};

struct Known {
    QRegularExpression pattern;
    const char* source;
};

QList<Known> knownLines()
{
    QList<Known> known;
    for (const char* source : helperLines) {
        QStringList pieces;
        for (const QString& piece : QString::fromUtf8(source).split(QRegularExpression(QStringLiteral("%\\d"))))
            pieces << QRegularExpression::escape(piece);
        const QString pattern = QStringLiteral("^") + pieces.join(QStringLiteral("(.*?)")) + QStringLiteral("(: .*)?$");
        known.append({QRegularExpression(pattern), source});
    }
    return known;
}

} // namespace

QString helperLineShown(const QString& line)
{
    static const QString prefix = QStringLiteral("sharedeck-mount: ");
    // The helper's lines are short (it cuts what the caller gave to 64 bytes); a longer one is none of them, and
    // the patterns are not tried on it.
    if (!line.startsWith(prefix) || line.size() > 1024)
        return line;
    static const QList<Known> known = knownLines();
    static const QRegularExpression placeholder(QStringLiteral("%(\\d)"));
    const QString text = line.mid(prefix.size());
    for (const Known& k : known) {
        const QRegularExpressionMatch match = k.pattern.match(text);
        if (!match.hasMatch())
            continue;
        // In one pass, so that a name holding "%2" stays as it is.
        const QString english = QCoreApplication::translate("sharedeck-mount", k.source);
        QString shown;
        qsizetype from = 0;
        for (const QRegularExpressionMatch& place : placeholder.globalMatch(english)) {
            shown += english.mid(from, place.capturedStart() - from) + match.captured(place.captured(1).toInt());
            from = place.capturedEnd();
        }
        return prefix + shown + english.mid(from) + match.captured(k.pattern.captureCount());
    }
    return line;
}

QString helperOutputShown(const QString& output)
{
    QStringList lines = output.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = helperLineShown(line);
    return lines.join(QLatin1Char('\n'));
}
