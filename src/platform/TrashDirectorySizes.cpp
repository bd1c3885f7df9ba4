#include "platform/TrashDirectorySizes.h"

#include "platform/DirectoryChain.h"
#include "platform/DirectoryLister.h"
#include "platform/FileIO.h"
#include "platform/TrashInfo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <unordered_set>
#include <vector>

namespace tarnwick {

namespace {

constexpr const char *kCacheName = "directorysizes";

struct InodeKey {
    dev_t device;
    ino_t inode;
    bool operator==(const InodeKey &) const = default;
};

struct InodeKeyHash {
    std::size_t operator()(const InodeKey &key) const
    {
        return std::hash<ino_t>()(key.inode) ^ (std::hash<dev_t>()(key.device) << 1);
    }
};

// The third field of a cache line, which is the encoded folder name.
std::string_view encodedNameOf(std::string_view line)
{
    for (int field = 0; field < 2; ++field) {
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) {
            return {};
        }
        line.remove_prefix(space + 1);
    }
    return line;
}

}  // namespace

std::optional<int64_t> folderDiskUsage(int dirFd, const std::string &name)
{
    FileDescriptor root(::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (!root.valid() || ::fstat(root.get(), &status) != 0) {
        return std::nullopt;
    }
    int64_t total = static_cast<int64_t>(status.st_blocks) * 512;
    int64_t entries = 0;
    bool complete = true;
    std::unordered_set<InodeKey, InodeKeyHash> linkedFilesSeen;
    struct Pending {
        std::size_t depth;  // chain length at which its parent is the top
        std::string name;
    };
    std::vector<Pending> pending;
    DirectoryLister lister;
    DirectoryChain chain;
    chain.reset(std::move(root), name);

    const auto listTop = [&] {
        const int topFd = chain.topFd();
        if (topFd < 0) {
            complete = false;
            return;
        }
        const std::size_t childDepth = chain.size();
        const int error = lister.forEachEntry(topFd, [&](const DirectoryEntry &entry) {
            ++entries;
            struct stat child {};
            // The lister's names are NUL-terminated inside its buffer.
            if (::fstatat(topFd, entry.name.data(), &child, AT_SYMLINK_NOFOLLOW) != 0) {
                complete = false;
                return;
            }
            if (S_ISDIR(child.st_mode)) {
                pending.push_back({childDepth, std::string(entry.name)});
            } else if (child.st_nlink > 1 && !linkedFilesSeen.insert({child.st_dev, child.st_ino}).second) {
                return;  // another name of a file already counted
            }
            total += static_cast<int64_t>(child.st_blocks) * 512;
        });
        if (error != 0) {
            complete = false;
        }
    };

    listTop();
    while (complete && !pending.empty() && entries <= kMaxSizedEntries) {
        Pending next = std::move(pending.back());
        pending.pop_back();
        chain.truncate(next.depth);
        if (chain.push(next.name) != 0) {
            complete = false;
            break;
        }
        listTop();
    }
    if (!complete || entries > kMaxSizedEntries) {
        return std::nullopt;
    }
    return total;
}

bool recordTrashedFolderSize(int trashFd, std::string_view nameInTrash, int64_t size, std::time_t infoModified)
{
    const std::string encodedName = percentEncodedPath(nameInTrash);
    std::string previous;
    {
        FileDescriptor cache(::openat(trashFd, kCacheName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (cache.valid() && !readAll(cache.get(), previous)) {
            return false;  // rewriting from a partial read would drop other folders' entries
        }
    }
    std::string text;
    text.reserve(previous.size() + encodedName.size() + 32);
    std::string_view rest(previous);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && encodedNameOf(line) != encodedName) {
            text.append(line);
            text += '\n';
        }
    }
    text += std::to_string(size) + ' ' + std::to_string(static_cast<long long>(infoModified)) + ' ' + encodedName + '\n';

    // Two moves into one trash at once could each rewrite the file; the later rename wins and the
    // other folder's line is lost, which only costs a reader one measurement.
    static std::atomic<unsigned> counter{0};
    const std::string temporary = std::string(kCacheName) + ".tmp-" + std::to_string(::getpid()) + "-" +
                                  std::to_string(counter.fetch_add(1));
    FileDescriptor out(::openat(trashFd, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out.valid()) {
        return false;
    }
    if (!writeAll(out.get(), text) || ::fsync(out.get()) != 0 ||
        ::renameat(trashFd, temporary.c_str(), trashFd, kCacheName) != 0) {
        ::unlinkat(trashFd, temporary.c_str(), 0);
        return false;
    }
    return true;
}

}  // namespace tarnwick
