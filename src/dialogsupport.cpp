#include "dialogsupport.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>

int runMessageBox(QFont& font, int pointSize, QMessageBox::StandardButtons buttons,
                  QMessageBox::StandardButton defaultButton, QMessageBox::Icon icon, const QString& title,
                  const QString& text)
{
    font.setPointSize(pointSize);
    QMessageBox box;
    box.setStandardButtons(buttons);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    box.setFont(font);
    box.setIcon(icon);
    box.setWindowTitle(title);
    box.setText(text);
    return box.exec();
}

void showInfoView(QTableWidget* table, const QString& text)
{
    table->clear();
    table->setRowCount(1);
    table->setColumnCount(1);
    table->horizontalHeader()->resizeSection(0, 700);
    table->setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("Info")));
    table->setItem(0, 0, new QTableWidgetItem(text));
    // All of it readable: the row as high as its lines (wrapped), scrolled through by pixels.
    table->setWordWrap(true);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->resizeRowToContents(0);
}

QList<QPushButton*> rowButtons(const QTableWidget* table)
{
    return table->findChildren<QPushButton*>();
}

namespace {

class EnterStopper : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    }
};

} // namespace

void keepEnterInside(QWidget* widget)
{
    widget->installEventFilter(new EnterStopper(widget));
}

QTableWidgetItem* statusItem(const QIcon& icon)
{
    auto* item = new QTableWidgetItem;
    item->setData(Qt::DecorationRole, icon);
    item->setData(Qt::TextAlignmentRole, int(Qt::AlignHCenter | Qt::AlignVCenter));
    return item;
}

QString shownText(const QString& text, qsizetype limit)
{
    if (text.size() <= limit)
        return text;
    return text.left(limit) + QCoreApplication::translate("dialogsupport", "… (gekürzt)");
}

void pushWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void popWaitCursor()
{
    QApplication::restoreOverrideCursor();
}
