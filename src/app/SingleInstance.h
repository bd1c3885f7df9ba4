#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace tarnwick {

// One running application per preferences file. Two copies would each rewrite the whole file from
// their own values, and the last to save would erase what the other recorded.
//
// The first launch holds a lock file and listens on a local socket, both in the user's runtime
// folder and named after the guarded file. A later launch finds the lock taken, sends its folder
// arguments over the socket, waits until the running one has them, and exits. The lock, not the
// socket, decides who runs: it is released by the kernel's view of the holder (a lock whose
// process is gone is taken over), so a crash never leaves the user locked out, and a launch racing
// the first one's start-up waits for its socket instead of starting a second copy.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `runtimeFolder` holds the lock and the socket; `guardedFile` names what is protected, so
    // copies with different preferences (tests, another XDG_CONFIG_HOME) run side by side.
    SingleInstance(std::string runtimeFolder, const std::string &guardedFile, QObject *parent = nullptr);
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR, else a folder of this user's own in the temporary folder.
    static std::string standardRuntimeFolder();

    // Tries to become the running copy. True when this process is it (later launches then arrive
    // as `launched`), also when no lock can be made here at all: running unguarded beats not
    // running. False when another copy holds the lock.
    bool claim();

    // Hands the folders to the running copy and waits until it has taken them; false, with the
    // reason, when it cannot be reached.
    bool handOver(const std::vector<std::string> &folders, std::string &error);

    const std::string &socketPath() const { return m_socketPath; }

signals:
    // A later launch asked to be this one, with its folder arguments (possibly none).
    void launched(std::vector<std::string> folders);

private:
    void accept();
    void read(QLocalSocket *socket);

    std::string m_runtimeFolder;
    std::string m_lockPath;
    std::string m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

}  // namespace tarnwick
