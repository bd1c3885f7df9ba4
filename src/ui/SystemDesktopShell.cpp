#include "ui/SystemDesktopShell.h"

#include "app/LogCategories.h"
#include "platform/UserFolders.h"
#include "ui/FolderChooser.h"

#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>

namespace tarnwick {

namespace {

// Local paths as file URLs without losing bytes that are not UTF-8: the URL carries them
// percent-encoded.
QUrl fileURL(const std::string &path)
{
    return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)));
}

// True when a file manager on the session bus took the request; otherwise says why in the log,
// since the caller falls back to something less precise.
bool callFileManager(const QString &method, const QStringList &uris)
{
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", method);
    call << uris << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
    if (reply.type() == QDBusMessage::ReplyMessage) {
        return true;
    }
    qCWarning(lcShell).noquote() << QStringLiteral("No file manager answered %1 on the session bus (%2); opening the "
                                                   "folder instead")
                                        .arg(method, reply.errorMessage());
    return false;
}

void openOrWarn(const QUrl &url)
{
    if (!QDesktopServices::openUrl(url)) {
        qCWarning(lcShell).noquote() << QStringLiteral("Nothing on this desktop could open %1").arg(url.toString());
    }
}

}  // namespace

void SystemDesktopShell::openURL(const QUrl &url)
{
    openOrWarn(url);
}

void SystemDesktopShell::revealInFileManager(const std::string &path)
{
    const QUrl url = fileURL(path);
    if (!callFileManager("ShowItems", {url.toString(QUrl::FullyEncoded)})) {
        openOrWarn(url.adjusted(QUrl::RemoveFilename | QUrl::StripTrailingSlash));
    }
}

void SystemDesktopShell::openTrash()
{
    // The file manager shows trash:/// as the Trash proper, with restore. QDesktopServices cannot be
    // asked first: it hands any URL to xdg-open and reports success whether or not something on the
    // desktop understands the scheme, so a missing handler would go unnoticed.
    if (callFileManager("ShowFolders", {QStringLiteral("trash:///")})) {
        return;
    }
    openOrWarn(fileURL(dataHomeFolder() + "/Trash/files"));
}

void SystemDesktopShell::copyToClipboard(const std::string &text)
{
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(text));
}

std::vector<std::string> SystemDesktopShell::chooseFolders()
{
    return FolderChooser::choose(m_dialogParent);
}

}  // namespace tarnwick
