#include "platform/TrashDirectorySizes.h"

#include "platform/DirectoryChain.h"
#include "platform/DirectoryLister.h"
#include "platform/FileIO.h"
#include "platform/TrashInfo.h"
#include "platform/FolderOpenFlags.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <functional>
#include <unordered_map>
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

// The cache is looked at for stale lines only when an append carries it past one of these sizes:
// 64 KiB, 128 KiB, 256 KiB, ... so the reading is spread over the appends that made it grow, and a
// move costs the same with a cache of any size.
constexpr off_t kFirstCompactionCheck = 64 * 1024;

// A cache is rewritten when it holds more than twice as many lines as folders still in the trash,
// plus this many, so that a few lines left by other tools' restores do not cost a rewrite.
constexpr std::size_t kCompactionSlackLines = 1024;

// Longer than any line a name of NAME_MAX bytes can make; a longer run without a line feed is not a
// cache this code should rewrite.
constexpr std::size_t kMaxLineLength = 64 * 1024;

bool crossesCompactionCheck(off_t before, off_t after)
{
    const auto checksPassed = [](off_t size) {
        return std::bit_width(static_cast<uint64_t>(size / kFirstCompactionCheck));
    };
    return checksPassed(before) != checksPassed(after);
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The raw bytes of a percent-encoded name. Other writers may encode more or fewer bytes than
// percentEncodedPath does, so names are compared decoded.
std::optional<std::string> percentDecoded(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = hexDigitValue(text[i + 1]);
        const int low = hexDigitValue(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

// Writes `text` as the whole cache: a temporary file renamed over it, so a reader sees the old cache
// or the new one, never part of either.
bool replaceCache(int trashFd, const std::string &text)
{
    static std::atomic<unsigned> counter{0};
    // Appended piece by piece: GCC 12 misreads the chain of `+` on a short string at -O2 as an
    // out-of-bounds copy (-Warray-bounds) once it inlines the temporaries.
    std::string temporary(kCacheName);
    temporary.append(".tmp-").append(std::to_string(::getpid()));
    temporary.append("-").append(std::to_string(counter.fetch_add(1)));
    const FileDescriptor out(
        ::openat(trashFd, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
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

// Rewrites the cache with one line per folder still in files/ (the last line of a name, which is
// the one readers that re-read keep): always, or with `onlyWhenMostlyStale` only when stale lines
// make up most of it. Lines that other writers append between the read and the rename are lost;
// readers measure a folder without a line.
void dropStaleLines(int trashFd, bool onlyWhenMostlyStale)
{
    const FileDescriptor files(::openat(trashFd, "files", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!files.valid()) {
        return;
    }
    std::unordered_set<std::string> present;
    DirectoryLister lister;
    if (lister.forEachEntry(files.get(), [&](const DirectoryEntry &entry) { present.emplace(entry.name); }) != 0) {
        return;  // with part of files/ unseen, live lines would look stale
    }
    const FileDescriptor cache = openRegularFile(trashFd, kCacheName, O_RDONLY);
    if (!cache.valid()) {
        return;
    }
    std::size_t lineCount = 0;
    std::vector<std::string> kept;
    std::unordered_map<std::string, std::size_t> keptAt;
    const auto takeLine = [&](std::string_view line) {
        ++lineCount;
        const auto name = percentDecoded(encodedNameOf(line));
        if (!name || name->empty() || !present.contains(*name)) {
            return;
        }
        const auto [slot, added] = keptAt.try_emplace(*name, kept.size());
        if (added) {
            kept.emplace_back(line);
        } else {
            kept[slot->second] = line;
        }
    };
    std::string pending;
    char buffer[65536];
    while (true) {
        const ssize_t count = ::read(cache.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return;
        }
        if (count == 0) {
            break;
        }
        pending.append(buffer, static_cast<std::size_t>(count));
        std::size_t start = 0;
        for (std::size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n', start)) {
            if (end > start) {
                takeLine(std::string_view(pending).substr(start, end - start));
            }
            start = end + 1;
        }
        pending.erase(0, start);
        if (pending.size() > kMaxLineLength) {
            return;
        }
    }
    if (!pending.empty()) {
        takeLine(pending);
    }
    if (lineCount == kept.size() || (onlyWhenMostlyStale && lineCount <= 2 * kept.size() + kCompactionSlackLines)) {
        return;
    }
    std::string text;
    for (const auto &line : kept) {
        text += line;
        text += '\n';
    }
    replaceCache(trashFd, text);
}

}  // namespace

std::optional<int64_t> folderDiskUsage(int dirFd, const std::string &name)
{
    FileDescriptor root(::openat(dirFd, name.c_str(), kChildFolderOpenFlags));
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
    const FileDescriptor cache = openRegularFile(trashFd, kCacheName, O_RDWR | O_APPEND | O_CREAT);
    struct stat status {};
    if (!cache.valid() || ::fstat(cache.get(), &status) != 0) {
        return false;
    }
    std::string line;
    // A cache left without its final line feed (another writer's, or a write of ours cut short by
    // a full disk) must not have its last line run into the new one.
    char last = '\n';
    if (status.st_size > 0 && ::pread(cache.get(), &last, 1, status.st_size - 1) != 1) {
        return false;
    }
    if (last != '\n') {
        line += '\n';
    }
    line += std::to_string(size) + ' ' + std::to_string(static_cast<long long>(infoModified)) + ' ' +
            percentEncodedPath(nameInTrash) + '\n';
    // One write with O_APPEND: lines of concurrent writers never interleave, and the offset after it
    // is where this line ends.
    if (!writeAll(cache.get(), line)) {
        return false;
    }
    const off_t end = ::lseek(cache.get(), 0, SEEK_CUR);
    if (end > 0 && crossesCompactionCheck(std::max<off_t>(0, end - static_cast<off_t>(line.size())), end)) {
        dropStaleLines(trashFd, true);
    }
    return true;
}

void forgetFoldersThatLeftTheTrash(int trashFd)
{
    dropStaleLines(trashFd, false);
}

}  // namespace tarnwick
