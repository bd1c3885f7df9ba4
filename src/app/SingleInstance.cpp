#include "app/SingleInstance.h"

#include "app/LogCategories.h"
#include "core/PathRules.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <cstdlib>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// A launch waits this long for the running copy: to begin listening if it is still starting, and
// to take the folders if its main thread is busy.
constexpr int kAnswerMilliseconds = 10000;
constexpr char kTaken = '\1';

std::string nameFor(const std::string &guardedFile)
{
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(guardedFile), QCryptographicHash::Sha256).toHex();
    return "tarnwick-" + digest.left(16).toStdString();
}

QByteArray encodeFolders(const std::vector<std::string> &folders)
{
    QByteArray body;
    QDataStream stream(&body, QIODevice::WriteOnly);
    stream << static_cast<quint32>(folders.size());
    for (const auto &folder : folders) {
        stream << QByteArray::fromStdString(folder);  // the system's bytes, whatever their encoding
    }
    QByteArray message;
    QDataStream framed(&message, QIODevice::WriteOnly);
    framed << body;
    return message;
}

// Nothing while the message is incomplete.
std::optional<std::vector<std::string>> decodeFolders(const QByteArray &buffer)
{
    QDataStream framed(buffer);
    framed.startTransaction();
    QByteArray body;
    framed >> body;
    if (!framed.commitTransaction()) {
        return std::nullopt;
    }
    QDataStream stream(body);
    quint32 count = 0;
    stream >> count;
    std::vector<std::string> folders;
    for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        QByteArray folder;
        stream >> folder;
        if (stream.status() == QDataStream::Ok) {
            folders.push_back(folder.toStdString());
        }
    }
    return folders;
}

}  // namespace

SingleInstance::SingleInstance(std::string runtimeFolder, const std::string &guardedFile, QObject *parent)
    : QObject(parent), m_runtimeFolder(std::move(runtimeFolder))
{
    if (!m_runtimeFolder.empty()) {
        const std::string base = joinPath(m_runtimeFolder, nameFor(guardedFile));
        m_lockPath = base + ".lock";
        m_socketPath = base + ".socket";
    }
}

SingleInstance::~SingleInstance()
{
    if (m_server != nullptr) {
        m_server->close();  // removes the socket file before the lock goes
    }
}

std::string SingleInstance::standardRuntimeFolder()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return runtime;
    }
    // The temporary folder is everyone's: only a folder this user made, and nobody else can
    // enter, will do.
    const std::string folder = "/tmp/tarnwick-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::getuid() ||
        (status.st_mode & 077) != 0) {
        return {};
    }
    return folder;
}

bool SingleInstance::claim()
{
    if (m_lockPath.empty()) {
        qCWarning(lcInstance).noquote() << "No private runtime folder; another copy of Tarnwick could run beside this one";
        return true;
    }
    m_lock = std::make_unique<QLockFile>(QString::fromStdString(m_lockPath));
    // Held for the whole run: only a holder that is gone makes the lock stale, never its age.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            return false;
        }
        qCWarning(lcInstance).noquote() << QStringLiteral("Could not make the lock %1; another copy of Tarnwick "
                                                          "could run beside this one")
                                               .arg(QString::fromStdString(m_lockPath));
        return true;
    }
    // Whatever socket is there was left by a copy that is gone: this one holds the lock.
    QLocalServer::removeServer(QString::fromStdString(m_socketPath));
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(QString::fromStdString(m_socketPath))) {
        qCWarning(lcInstance).noquote() << QStringLiteral("Could not listen on %1 for later launches: %2")
                                               .arg(QString::fromStdString(m_socketPath), m_server->errorString());
        return true;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        read(socket);
    }
}

void SingleInstance::read(QLocalSocket *socket)
{
    // What arrived so far stays in the socket until the whole message is there.
    const auto folders = decodeFolders(socket->peek(socket->bytesAvailable()));
    if (!folders) {
        return;
    }
    socket->readAll();
    emit launched(*folders);
    socket->write(&kTaken, 1);
    socket->disconnectFromServer();
}

bool SingleInstance::handOver(const std::vector<std::string> &folders, std::string &error)
{
    QLocalSocket socket;
    const QDeadlineTimer deadline(kAnswerMilliseconds);
    // The running copy takes its lock before it listens, so a launch right after it may find no
    // socket yet.
    for (;;) {
        socket.connectToServer(QString::fromStdString(m_socketPath));
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
        if (deadline.hasExpired()) {
            error = "Tarnwick is already running, but could not be reached: " + socket.errorString().toStdString();
            return false;
        }
        QThread::msleep(50);
    }
    socket.write(encodeFolders(folders));
    socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            error = "Tarnwick is already running, but did not answer: " + socket.errorString().toStdString();
            return false;
        }
    }
    char answer = 0;
    socket.read(&answer, 1);
    return answer == kTaken;
}

}  // namespace tarnwick
