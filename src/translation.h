#pragma once

#include <QStringList>

// Whether the interface is English: an English language comes before any German one in the user's list
// (QLocale::uiLanguages). Anything else, "C" included, keeps the German texts as written.
bool prefersEnglish(const QStringList& uiLanguages);

// The mount helper writes German lines ("sharedeck-mount: ..."); in the English interface the known ones
// are shown translated, with their paths and names as the helper wrote them. Other lines stay as they are.
QString helperLineShown(const QString& line);
QString helperOutputShown(const QString& output);
