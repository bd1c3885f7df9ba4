#include "platform/ProcessUsage.h"

#include "core/PathRules.h"
#include "platform/FileDescriptor.h"
#include "platform/FileIO.h"
#include "platform/ProcessIDs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace tarnwick {

namespace {

struct CloseDirectory {
    void operator()(DIR *directory) const { ::closedir(directory); }
};
using Directory = std::unique_ptr<DIR, CloseDirectory>;

// The target of a /proc link: a path for files and folders; "socket:[..]", "pipe:[..]" and the
// like for what is not a file, which are left out.
std::optional<std::string> linkTarget(int dirFd, const char *name)
{
    std::string target(256, '\0');
    while (true) {
        const ssize_t length = ::readlinkat(dirFd, name, target.data(), target.size());
        if (length < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            break;
        }
        target.resize(target.size() * 2);
    }
    if (target.empty() || target[0] != '/') {
        return std::nullopt;
    }
    constexpr std::string_view kDeleted = " (deleted)";
    if (target.ends_with(kDeleted)) {
        target.resize(target.size() - kDeleted.size());
    }
    return target;
}

std::string commandName(int processFd)
{
    const FileDescriptor comm(::openat(processFd, "comm", O_RDONLY | O_CLOEXEC));
    std::string name;
    if (!comm.valid() || !readAll(comm.get(), name, 64)) {
        return {};
    }
    while (!name.empty() && name.back() == '\n') {
        name.pop_back();
    }
    return name;
}

// The file paths of /proc/PID/maps: the sixth field of each line, when it is an absolute path.
void addMappedFiles(int processFd, const ProcessUser &user, std::vector<std::pair<std::string, ProcessUser>> &uses)
{
    const FileDescriptor maps(::openat(processFd, "maps", O_RDONLY | O_CLOEXEC));
    std::string text;
    if (!maps.valid() || !readAll(maps.get(), text, 64 * 1024 * 1024)) {
        return;
    }
    std::string previous;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + start, end - start);
        start = end + 1;
        // address perms offset dev inode path: the path starts at the first "/" after the inode.
        std::size_t field = 0;
        std::size_t position = 0;
        while (field < 5 && position < line.size()) {
            while (position < line.size() && line[position] != ' ') {
                ++position;
            }
            while (position < line.size() && line[position] == ' ') {
                ++position;
            }
            ++field;
        }
        if (position >= line.size() || line[position] != '/') {
            continue;
        }
        std::string path(line.substr(position));
        constexpr std::string_view kDeleted = " (deleted)";
        if (path.ends_with(kDeleted)) {
            path.resize(path.size() - kDeleted.size());
        }
        if (path != previous) {  // a library maps several regions in a row
            previous = path;
            uses.emplace_back(std::move(path), user);
        }
    }
}

}  // namespace

ProcessUsage::ProcessUsage(std::vector<std::pair<std::string, ProcessUser>> uses) : m_uses(std::move(uses))
{
    std::sort(m_uses.begin(), m_uses.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
}

ProcessUsage ProcessUsage::current()
{
    std::vector<std::pair<std::string, ProcessUser>> uses;
    const Directory proc(::opendir("/proc"));
    if (!proc) {
        return ProcessUsage();
    }
    const int procFd = ::dirfd(proc.get());
    const uid_t user = ::getuid();
    const pid_t self = ::getpid();
    while (const dirent *entry = ::readdir(proc.get())) {
        if (!isProcessID(entry->d_name)) {
            continue;
        }
        const FileDescriptor processFd(::openat(procFd, entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        struct stat status {};
        if (!processFd.valid() || ::fstat(processFd.get(), &status) != 0 || status.st_uid != user) {
            continue;
        }
        const ProcessUser process{std::atoi(entry->d_name), commandName(processFd.get())};
        if (process.pid == self) {
            continue;  // this program's own open folders are its work, not a use
        }
        if (auto cwd = linkTarget(processFd.get(), "cwd")) {
            uses.emplace_back(std::move(*cwd), process);
        }
        const FileDescriptor fdFolder(::openat(processFd.get(), "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fdFolder.valid()) {
            const Directory descriptors(::fdopendir(::dup(fdFolder.get())));
            if (descriptors) {
                const int descriptorsFd = ::dirfd(descriptors.get());
                while (const dirent *fd = ::readdir(descriptors.get())) {
                    if (isProcessID(fd->d_name)) {
                        if (auto path = linkTarget(descriptorsFd, fd->d_name)) {
                            uses.emplace_back(std::move(*path), process);
                        }
                    }
                }
            }
        }
        addMappedFiles(processFd.get(), process, uses);
    }
    return ProcessUsage(std::move(uses));
}

std::optional<ProcessUser> ProcessUsage::userOf(const std::string &canonicalFolder) const
{
    const auto byPath = [](const auto &use, const std::string &path) { return use.first < path; };
    const auto exact = std::lower_bound(m_uses.begin(), m_uses.end(), canonicalFolder, byPath);
    if (exact != m_uses.end() && exact->first == canonicalFolder) {
        return exact->second;
    }
    // Everything below the folder sorts together, right after "FOLDER/".
    const std::string below = canonicalFolder == "/" ? "/" : canonicalFolder + "/";
    const auto inside = std::lower_bound(m_uses.begin(), m_uses.end(), below, byPath);
    if (inside != m_uses.end() && inside->first.starts_with(below)) {
        return inside->second;
    }
    return std::nullopt;
}

std::string inUseText(const ProcessUser &user)
{
    return std::string(kInUseTextStart) + (user.name.empty() ? std::string("a process") : user.name) + " (pid " +
           std::to_string(user.pid) + ")";
}

}  // namespace tarnwick
