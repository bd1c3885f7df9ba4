#include "ui/FolderChooser.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QToolButton>
#include <QUrl>
#include <QWidget>
#include <memory>

namespace tarnwick {

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kFileChooser = QStringLiteral("org.freedesktop.portal.FileChooser");

// The portal's "directory" option arrived with version 3 of its file chooser.
constexpr uint kDirectoryVersion = 3;

uint fileChooserVersion()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kFileChooser << QStringLiteral("version");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 1000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return 0;
    }
    return reply.arguments().first().value<QDBusVariant>().variant().toUInt();
}

// Receives the portal's answer to one request.
class PortalResponse : public QObject {
    Q_OBJECT
public:
    QEventLoop loop;
    uint code = 2;  // "ended some other way" until an answer comes
    QStringList uris;

public slots:
    void response(uint answer, const QVariantMap &results)
    {
        code = answer;
        uris = results.value(QStringLiteral("uris")).toStringList();
        loop.quit();
    }
};

}  // namespace

bool FolderChooser::isPortalAvailable()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(kPortalService).value() &&
           fileChooserVersion() >= kDirectoryVersion;
}

std::optional<std::vector<std::string>> FolderChooser::chooseThroughPortal(QWidget *parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The request's object path is known before the call, so the answer cannot slip past.
    const QString token = QStringLiteral("tarnwick%1").arg(QRandomGenerator::global()->generate());
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString handle = kPortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    PortalResponse answer;
    if (!bus.connect(kPortalService, handle, QStringLiteral("org.freedesktop.portal.Request"),
                     QStringLiteral("Response"), &answer, SLOT(response(uint, QVariantMap)))) {
        return std::nullopt;
    }

    QString parentWindow;
    if (parent != nullptr && QGuiApplication::platformName() == QLatin1String("xcb")) {
        parentWindow = QStringLiteral("x11:%1").arg(parent->window()->winId(), 0, 16);
    }
    QVariantMap options;
    options.insert(QStringLiteral("handle_token"), token);
    options.insert(QStringLiteral("accept_label"), QStringLiteral("Add Folder"));
    options.insert(QStringLiteral("modal"), true);
    options.insert(QStringLiteral("multiple"), true);
    options.insert(QStringLiteral("directory"), true);
    options.insert(QStringLiteral("current_folder"), QFile::encodeName(QDir::homePath()) + '\0');
    QDBusMessage open =
        QDBusMessage::createMethodCall(kPortalService, kPortalPath, kFileChooser, QStringLiteral("OpenFile"));
    open << parentWindow << QStringLiteral("Choose Folder") << options;
    const QDBusMessage reply = bus.call(open, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        bus.disconnect(kPortalService, handle, QStringLiteral("org.freedesktop.portal.Request"),
                       QStringLiteral("Response"), &answer, SLOT(response(uint, QVariantMap)));
        return std::nullopt;
    }
    answer.loop.exec();
    std::vector<std::string> folders;
    if (answer.code == 0) {
        for (const QString &uri : answer.uris) {
            const QUrl url(uri);
            if (url.isLocalFile()) {
                folders.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
            }
        }
    }
    return folders;
}

QFileDialog *FolderChooser::makeDialog(QWidget *parent, const QString &startFolder)
{
    auto *dialog = new QFileDialog(parent, QStringLiteral("Choose Folder"), startFolder);
    // The platform's dialogs pick one folder in directory mode; Qt's own lets its views take several.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    // Read-only: no new folders, no renaming or deleting from inside a chooser.
    dialog->setOption(QFileDialog::ReadOnly);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Add Folder"));
    dialog->setWindowModality(Qt::WindowModal);
    for (auto *view : dialog->findChildren<QAbstractItemView *>()) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    if (auto *newFolder = dialog->findChild<QToolButton *>(QStringLiteral("newFolderButton"))) {
        newFolder->hide();
    }
    return dialog;
}

std::vector<std::string> FolderChooser::choose(QWidget *parent)
{
    if (isPortalAvailable()) {
        if (auto folders = chooseThroughPortal(parent)) {
            return *folders;
        }
    }
    std::unique_ptr<QFileDialog> dialog(makeDialog(parent, QDir::homePath()));
    std::vector<std::string> folders;
    if (dialog->exec() == QDialog::Accepted) {
        for (const QString &file : dialog->selectedFiles()) {
            folders.push_back(QFile::encodeName(file).toStdString());
        }
    }
    return folders;
}

}  // namespace tarnwick

#include "FolderChooser.moc"
