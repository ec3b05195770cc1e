#pragma once

#include "commands.h"

#include <QList>
#include <QMessageBox>

class QFont;
class QIcon;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QWidget;

// Runs a modal box without parent, built in the program's one fixed order:
// point size, buttons, default button, font, icon, title, text.
int runMessageBox(QFont& font, int pointSize, QMessageBox::StandardButtons buttons,
                  QMessageBox::StandardButton defaultButton, QMessageBox::Icon icon, const QString& title,
                  const QString& text);

// Turns the table into a single cell under the header "Info" holding text,
// all of its lines shown.
void showInfoView(QTableWidget* table, const QString& text);

// The row buttons, the i-th being the button of row i (they are the only push
// buttons in the table and are placed in row order).
QList<QPushButton*> rowButtons(const QTableWidget* table);

// Enter and Return that reach the widget unhandled (an item editor passes
// them on once it ends the edit) stop there instead of pressing the dialog's
// default button.
void keepEnterInside(QWidget* widget);

QTableWidgetItem* statusItem(const QIcon& icon);

// A command's text as the Info view shows it: at most limit characters, and
// marked where it was cut. A box lays out rich text, which takes seconds for a
// megabyte, so boxes show less.
QString shownText(const QString& text, qsizetype limit = maxShownBytes);
constexpr qsizetype maxBoxChars = qsizetype(16) << 10;

// The override cursor shown while a command the user waits for runs.
void pushWaitCursor();
void popWaitCursor();
