#include "ui/SystemDesktopShell.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>

namespace tarnwick {

namespace {

// Local paths as file URLs without losing bytes that are not UTF-8: the URL carries them
// percent-encoded.
QUrl fileURL(const std::string &path)
{
    return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)));
}

}  // namespace

void SystemDesktopShell::openURL(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

void SystemDesktopShell::revealInFileManager(const std::string &path)
{
    const QUrl url = fileURL(path);
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", "ShowItems");
    call << QStringList{url.toString(QUrl::FullyEncoded)} << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        QDesktopServices::openUrl(url.adjusted(QUrl::RemoveFilename | QUrl::StripTrailingSlash));
    }
}

void SystemDesktopShell::copyToClipboard(const std::string &text)
{
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(text));
}

std::vector<std::string> SystemDesktopShell::chooseFolders()
{
    QFileDialog dialog(m_dialogParent);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Add Folder"));
    dialog.setWindowModality(Qt::WindowModal);
    // The platform dialogs pick one folder in directory mode; Qt's own dialog lets its views take
    // several once their selection mode allows it.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    for (auto *view : dialog.findChildren<QAbstractItemView *>()) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    std::vector<std::string> folders;
    if (dialog.exec() == QDialog::Accepted) {
        for (const QString &file : dialog.selectedFiles()) {
            folders.push_back(QFile::encodeName(file).toStdString());
        }
    }
    return folders;
}

}  // namespace tarnwick
