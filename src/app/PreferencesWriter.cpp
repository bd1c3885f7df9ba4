#include "app/PreferencesWriter.h"

#include "app/JsonFilePreferencesStore.h"
#include "app/LogCategories.h"
#include "core/PathRules.h"
#include "platform/FileDescriptor.h"
#include "platform/FileIO.h"

#include <QString>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// The file a path leads to: the path itself unless it is a symbolic link, else where the links
// lead, even when that file does not exist yet. Folders on the way are left to the kernel.
// Nothing, with errno set, for a loop or a link that cannot be read.
std::optional<std::string> linkTarget(const std::string &path)
{
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return current;
        }
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), buffer, sizeof buffer);
        if (length < 0 || length == static_cast<ssize_t>(sizeof buffer)) {
            if (length >= 0) {
                errno = ENAMETOOLONG;
            }
            return std::nullopt;
        }
        const std::string target(buffer, static_cast<std::size_t>(length));
        current = target.starts_with('/') ? target : std::string(parentPath(current)) + "/" + target;
    }
    errno = ELOOP;
    return std::nullopt;
}

}  // namespace

PreferencesWriter::PreferencesWriter(std::string filePath) : m_filePath(std::move(filePath)) {}

PreferencesWriter::~PreferencesWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_wake.notify_all();
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void PreferencesWriter::write(PreferenceMap values)
{
    const std::lock_guard lock(m_mutex);
    m_waiting = std::move(values);
    if (!m_thread.joinable()) {
        m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_all();
}

void PreferencesWriter::wait()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_waiting && !m_writing; });
}

bool PreferencesWriter::lastSucceeded() const
{
    const std::lock_guard lock(m_mutex);
    return m_lastSucceeded;
}

void PreferencesWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_waiting || m_stopping; });
        if (!m_waiting) {
            return;  // stopping, and everything asked for is written
        }
        const PreferenceMap values = std::move(*m_waiting);
        m_waiting.reset();
        m_writing = true;
        lock.unlock();
        const int error = writeFile(m_filePath, values);
        lock.lock();
        const bool hadSucceeded = m_lastSucceeded;
        m_lastSucceeded = error == 0;
        if (error != 0 && hadSucceeded) {
            // Once per run of failures: every later change tries again, and would say the same.
            const QString reason = error > 0 ? QString::fromLocal8Bit(std::strerror(error))
                                             : QStringLiteral("an unreadable file there is left alone");
            qCWarning(lcPrefs).noquote() << QStringLiteral("Could not save the preferences to %1: %2")
                                                .arg(QString::fromStdString(m_filePath), reason);
        }
        m_writing = false;
        if (!m_waiting) {
            m_idle.notify_all();
        }
    }
}

int PreferencesWriter::writeFile(const std::string &filePath, const PreferenceMap &values)
{
    const auto target = linkTarget(filePath);
    if (!target) {
        return errno;
    }
    const std::string folder(parentPath(*target));
    if (const int error = makeFolderPath(folder); error != 0) {
        return error;
    }
    // A file the user already has keeps its permissions; a new one is the user's alone.
    mode_t mode = 0600;
    struct stat existing {};
    if (::stat(target->c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        mode = existing.st_mode & 07777;
    }
    std::string temporary = *target + ".XXXXXX";
    const FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.valid()) {
        return errno;
    }
    const std::string text = encodePreferences(values);
    bool ok = ::fchmod(fd.get(), mode) == 0 && writeAll(fd.get(), text);
    ok = ok && ::fsync(fd.get()) == 0 && ::rename(temporary.c_str(), target->c_str()) == 0;
    if (!ok) {
        const int error = errno != 0 ? errno : EIO;
        ::unlink(temporary.c_str());
        return error;
    }
    // Make the rename itself durable.
    const FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.valid()) {
        ::fsync(directory.get());
    }
    return 0;
}

}  // namespace tarnwick
