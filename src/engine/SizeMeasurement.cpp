#include "engine/SizeMeasurement.h"

#include "core/PathRules.h"
#include "engine/Tarnwicker.h"

#include <cerrno>
#include <fcntl.h>

namespace tarnwick {

namespace {

constexpr int64_t kProgressEveryEntries = 250;

void throwIfCancelled(const CancellationToken &token)
{
    if (token.isCancelled()) {
        throw CancellationError();
    }
}

} // namespace

std::optional<Timestamp> modificationTime(const struct stat &status)
{
    using namespace std::chrono;
    const auto sinceEpoch = seconds(status.st_mtim.tv_sec) + nanoseconds(status.st_mtim.tv_nsec);
    return Timestamp(duration_cast<system_clock::duration>(sinceEpoch));
}

SizeMeasurer::Result SizeMeasurer::measure(int parentFd, std::string_view name, std::string_view path,
                                           int64_t visitedDirs, int64_t matchedDirs,
                                           const ScanProgressHandler &progress, const CancellationToken &token)
{
    const std::string folderName(lastPathComponent(path));
    ScanProgress record;
    record.phase = OperationPhase::measuring;
    record.currentPath.assign(path);
    record.visitedDirs = visitedDirs;
    record.matchedDirs = matchedDirs;
    if (progress) {
        record.message = "Checking size of " + folderName;
        progress(record);
    }

    Result result;
    int64_t entryCount = 0;
    throwIfCancelled(token);

    const std::string terminatedName(name);
    struct stat status {};
    if (::fstatat(parentFd, terminatedName.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
        result.size += entrySize(status);
        result.modifiedAt = modificationTime(status);
        result.identity = FileIdentity::of(status);
        if (S_ISDIR(status.st_mode)) {
            FileDescriptor root(::openat(parentFd, terminatedName.c_str(),
                                         O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
            if (root.valid()) {
                m_chain.reset(std::move(root), path);
                m_pending.clear();

                const auto listTop = [&] {
                    const int dirFd = m_chain.topFd();
                    if (dirFd < 0) {
                        return; // counts as an empty listing
                    }
                    const std::size_t childDepth = m_chain.size();
                    m_lister.forEachEntry(dirFd, [&](const DirectoryEntry &entry) {
                        throwIfCancelled(token);
                        struct stat entryStatus {};
                        if (::fstatat(dirFd, entry.name.data(), &entryStatus, AT_SYMLINK_NOFOLLOW) == 0) {
                            if (S_ISDIR(entryStatus.st_mode)) {
                                m_pending.push_back({childDepth, std::string(entry.name), entrySize(entryStatus)});
                            } else {
                                result.size += entrySize(entryStatus);
                            }
                        }
                        ++entryCount;
                        if (entryCount % kProgressEveryEntries == 0 && progress) {
                            record.message = "Checked " + std::to_string(entryCount) + " items in " + folderName;
                            record.currentItem = joinPath(m_chain.topPath(), entry.name);
                            record.measuredEntries = entryCount;
                            record.bytesSoFar = result.size;
                            progress(record);
                        }
                    });
                };

                listTop();
                while (!m_pending.empty()) {
                    throwIfCancelled(token);
                    Pending next = std::move(m_pending.back());
                    m_pending.pop_back();
                    result.size += next.ownSize;
                    m_chain.truncate(next.depth);
                    if (m_chain.push(next.name) == 0) {
                        listTop();
                    }
                }
                m_chain.clear();
            }
        }
    }

    if (progress) {
        record.message = "Finished checking " + folderName;
        record.currentItem.clear();
        record.measuredEntries = entryCount;
        record.bytesSoFar = result.size;
        progress(record);
    }
    return result;
}

namespace Tarnwicker {

int64_t measurePath(const std::string &folderPath, int64_t visitedDirs, int64_t matchedDirs,
                    const ScanProgressHandler &progress, const CancellationToken &token)
{
    SizeMeasurer measurer;
    const std::string path = normalizedPath(folderPath);
    return measurer.measure(AT_FDCWD, path, path, visitedDirs, matchedDirs, progress, token).size;
}

int64_t fileSystemSize(const std::string &path)
{
    struct stat status {};
    if (path.empty() || ::lstat(path.c_str(), &status) != 0) {
        return 0;
    }
    return entrySize(status);
}

std::optional<Timestamp> modifiedDate(const std::string &path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return modificationTime(status);
}

} // namespace Tarnwicker

} // namespace tarnwick
