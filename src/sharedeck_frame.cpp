#include "sharedeck.h"

#include "commands.h"
#include "dialogsupport.h"
#include "passwordstore.h"
#include "serverlist.h"
#include "systempaths.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cstdlib>

namespace {

// A missing prerequisite: the box, then the end of the process. Nothing is
// cleaned up; there is nothing the user could save.
[[noreturn]] void stopStartup(QFont& font, const QString& text)
{
    runMessageBox(font, 12, QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::Critical, QStringLiteral("sharedeck"),
                  text);
    std::exit(1);
}

} // namespace

sharedeck::sharedeck(QWidget* parent) : QDialog(parent)
{
    setupUi(this);

    // The tool tests run from whichever event loop runs first: the main loop,
    // or the loop of the server list's error box.
    QTimer::singleShot(0, this, &sharedeck::smbclient_test);
    QTimer::singleShot(0, this, &sharedeck::cifs_test);

    const QString dir = programDirectory();
    greenIconPath = dir + "/buttons/spot_on_green.png";
    redIconPath = dir + "/buttons/spot_off_red.png";
    greenIcon.addFile(greenIconPath, QSize(), QIcon::Normal, QIcon::Off);
    redIcon.addFile(redIconPath, QSize(), QIcon::Normal, QIcon::Off);

    const QString confPath = dir + "/server.conf";
    if (!QFileInfo::exists(confPath))
        check_server_conf();
    QFile conf(confPath);
    if (conf.open(QIODevice::ReadOnly | QIODevice::Text)) {
        pushWaitCursor();
        const QStringList servers = serverEntries(conf);
        for (int i = 0; i < servers.size(); ++i)
            ServerComboBox->insertItem(i, QIcon(), servers[i], QVariant());
        conf.close();
        popWaitCursor();
    }
    if (ServerComboBox->currentIndex() == -1)
        check_server_conf();
    passwords =
        new RememberedPasswords(ServerComboBox, UsernameLineEdit, PasswordLineEdit, RememberPasswordCheckBox, this);
    startDiscovery();

    connect(ServerLoadButton, &QPushButton::clicked, this, &sharedeck::load_Shares);
    connect(ServerComboBox, &QComboBox::currentTextChanged, this, &sharedeck::markTableServer);
    // Enter in the table ends an edit; "Load Shares" would rebuild the table and lose it.
    keepEnterInside(tableWidget);
    connect(tableWidget, &QTableWidget::itemChanged, this, &sharedeck::cellEdited);
    // What the state test knows of the rows' mount points goes with any change to a mount point's text or to
    // the rows (a new table, the Info view, a sort).
    const QAbstractItemModel* model = tableWidget->model();
    const auto forget = [this] { rowPlacesKnown = false; };
    connect(model, &QAbstractItemModel::rowsInserted, this, forget);
    connect(model, &QAbstractItemModel::rowsRemoved, this, forget);
    connect(model, &QAbstractItemModel::rowsMoved, this, forget);
    connect(model, &QAbstractItemModel::columnsInserted, this, forget);
    connect(model, &QAbstractItemModel::columnsRemoved, this, forget);
    connect(model, &QAbstractItemModel::modelReset, this, forget);
    connect(model, &QAbstractItemModel::layoutChanged, this, forget);
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                if (from.column() <= 2 && to.column() >= 2 &&
                    (roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole)))
                    rowPlacesKnown = false;
            });
    connect(&smbclientProc, &RunningCommand::ended, this, &sharedeck::smbclientProcBeendet);
    connect(&mountProc, &RunningCommand::ended, this, &sharedeck::mountProcBeendet);
    connect(&checkMountedProc, &RunningCommand::ended, this, &sharedeck::checkMountedBeendet);
    // A user starts by typing the user name.
    UsernameLineEdit->setFocus();

    QTimer::singleShot(systemPaths().keepAlivePeriodMs, this, &sharedeck::send_touch);
}

sharedeck::~sharedeck()
{
    // The table and its model go with the window's widgets, after this: what the model reports meanwhile must
    // not reach a window that is no longer one.
    disconnect(tableWidget->model(), nullptr, this, nullptr);
    // A command still running is stopped without reporting its end: its wait cursor goes now.
    for (const RunningCommand* command : {&smbclientProc, &mountProc, &checkMountedProc}) {
        if (command->isRunning())
            popWaitCursor();
    }
    // A touch still running is stopped; its end must not reach a window that is gone.
    for (QProcess* touch : std::as_const(touches)) {
        disconnect(touch, nullptr, this, nullptr);
        stopCommand(*touch);
    }
    releaseRowButtons();
}

void sharedeck::smbclient_test()
{
    if (!QFileInfo::exists(systemPaths().smbclient))
        stopStartup(messageFont,
                    tr("<b>Fehler: smbclient nicht gefunden!</b><br><br>Um die Shares eines Windows-Servers "
                       "abzufragen,<br>wird das Paket smbclient benötigt.<br>Bitte installieren Sie das Paket "
                       "smbclient."));
}

void sharedeck::cifs_test()
{
    if (!QFileInfo::exists(systemPaths().mountCifs))
        stopStartup(messageFont, tr("<b>Fehler: mount.cifs nicht gefunden!</b><br><br>sharedeck benötigt mount.cifs "
                                    "zum Einhängen der Shares.<br>Bitte installieren Sie das Paket cifs-utils."));
}

void sharedeck::check_server_conf()
{
    stopStartup(messageFont, tr("<b>Fehler: Server Konfigurations-Datei nicht gefunden oder leer!</b><br><br>Bitte "
                                "legen Sie im Programmverzeichnis eine Datei<br>namens server.conf an, in der "
                                "Zeilenweise die<br>verfügbaren Windows-Server mittels Namen oder<br>I.P.-Adresse "
                                "stehen."));
}
