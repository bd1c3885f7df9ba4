#include "core/FileSystemSnapshot.h"

#include "core/EnumRawValue.h"
#include "core/JsonFields.h"
#include "core/MountTable.h"
#include "core/PathRules.h"
#include "core/SaturatingAdd.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>

namespace tarnwick {

namespace {

FileSystemEntryType entryTypeOf(mode_t mode)
{
    switch (mode & S_IFMT) {
    case S_IFDIR:
        return FileSystemEntryType::directory;
    case S_IFREG:
        return FileSystemEntryType::regularFile;
    case S_IFLNK:
        return FileSystemEntryType::symbolicLink;
    default:
        return FileSystemEntryType::other;
    }
}

// A mount point is an entry whose device differs from its parent's, or that the mount table lists,
// which also catches a bind mount of the same file system. "/" always is one; an entry whose parent
// cannot be read is taken not to be one (there is nothing to compare with). The kernel marks the
// root of every mount, the table's entries exactly, so the table itself is read only on kernels
// that do not say.
bool isMountPointEntry(const std::string &canonicalPath, const struct stat &status)
{
    if (canonicalPath == "/") {
        return true;
    }
    const std::string parent(parentPath(canonicalPath));
    struct stat parentStatus {};
    if (::lstat(parent.c_str(), &parentStatus) != 0) {
        return false;
    }
    if (parentStatus.st_dev != status.st_dev) {
        return true;
    }
    if (S_ISLNK(status.st_mode)) {
        return false;
    }
    struct statx extended {};
    if (::statx(AT_FDCWD, canonicalPath.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &extended) == 0 &&
        (extended.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0) {
        return (extended.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    }
    char resolvedParent[PATH_MAX];
    if (::realpath(parent.c_str(), resolvedParent) == nullptr) {
        return false;
    }
    const std::string resolved = joinPath(resolvedParent, lastPathComponent(canonicalPath));
    const std::vector<std::string> points = mountPoints();
    return std::find(points.begin(), points.end(), resolved) != points.end();
}

FileSystemSnapshot::Time timeOf(const struct timespec &time)
{
    using namespace std::chrono;
    return FileSystemSnapshot::Time(
        duration_cast<system_clock::duration>(seconds(time.tv_sec) + nanoseconds(time.tv_nsec)));
}

} // namespace

std::string_view rawValue(FileSystemEntryType type)
{
    switch (type) {
    case FileSystemEntryType::directory:
        return "directory";
    case FileSystemEntryType::regularFile:
        return "regularFile";
    case FileSystemEntryType::symbolicLink:
        return "symbolicLink";
    case FileSystemEntryType::other:
        return "other";
    }
    return "other";
}

std::optional<FileSystemEntryType> fileSystemEntryTypeFromRaw(std::string_view raw)
{
    return enumFromRawValue(allFileSystemEntryTypes, raw);
}

std::string_view rawValue(SnapshotValidationResult result)
{
    switch (result) {
    case SnapshotValidationResult::valid:
        return "valid";
    case SnapshotValidationResult::missing:
        return "missing";
    case SnapshotValidationResult::inaccessible:
        return "inaccessible";
    case SnapshotValidationResult::pathEscape:
        return "pathEscape";
    case SnapshotValidationResult::symbolicLink:
        return "symbolicLink";
    case SnapshotValidationResult::mountPoint:
        return "mountPoint";
    case SnapshotValidationResult::changed:
        return "changed";
    }
    return "changed";
}

std::optional<SnapshotValidationResult> snapshotValidationResultFromRaw(std::string_view raw)
{
    return enumFromRawValue(allSnapshotValidationResults, raw);
}

FileSystemSnapshot FileSystemSnapshot::capture(std::string_view path, Time scanTime)
{
    FileSystemSnapshot snapshot;
    snapshot.path.assign(path);
    snapshot.canonicalPath = normalizedPath(path);
    struct stat status {};
    if (::lstat(snapshot.canonicalPath.c_str(), &status) != 0) {
        throw FileSystemSnapshotError();
    }
    snapshot.fileID = static_cast<uint64_t>(status.st_ino);
    snapshot.deviceID = static_cast<uint64_t>(status.st_dev);
    snapshot.inode = static_cast<uint64_t>(status.st_ino);
    snapshot.hardLinkCount = static_cast<uint64_t>(status.st_nlink);
    snapshot.entryType = entryTypeOf(status.st_mode);
    snapshot.allocatedSize =
        status.st_blocks > 0 ? static_cast<int64_t>(status.st_blocks) * 512 : static_cast<int64_t>(status.st_size);
    snapshot.logicalSize = static_cast<int64_t>(status.st_size);
    snapshot.modificationTime = timeOf(status.st_mtim);
    snapshot.isSymbolicLink = snapshot.entryType == FileSystemEntryType::symbolicLink;
    snapshot.isMountPoint = isMountPointEntry(snapshot.canonicalPath, status);
    snapshot.scanTime = scanTime;
    return snapshot;
}

SnapshotValidationResult FileSystemSnapshot::validate(std::string_view currentPath, std::string_view approvedRoot) const
{
    // Containment is decided on the text alone, so a path outside the approved folder is refused
    // even when it no longer exists and without a single look at the file system.
    const std::string current = normalizedPath(currentPath);
    if (!isPathInside(current, normalizedPath(approvedRoot))) {
        return SnapshotValidationResult::pathEscape;
    }
    FileSystemSnapshot fresh;
    try {
        fresh = capture(current, std::chrono::system_clock::now());
    } catch (const FileSystemSnapshotError &) {
        // The existence test takes the path as given and follows links, as the system resolves it:
        // "a/link/../x" can reach an entry that the lexical "a/x" cannot read.
        struct stat status {};
        const std::string given(currentPath);
        return ::stat(given.c_str(), &status) == 0 ? SnapshotValidationResult::inaccessible
                                                   : SnapshotValidationResult::missing;
    }
    if (fresh.isSymbolicLink) {
        return SnapshotValidationResult::symbolicLink;
    }
    if (fresh.isMountPoint) {
        return SnapshotValidationResult::mountPoint;
    }
    // The link count and the paths are left out on purpose: a hard link made or removed elsewhere
    // does not make this the wrong entry.
    const bool same = fresh.fileID == fileID && fresh.deviceID == deviceID && fresh.inode == inode &&
                      fresh.entryType == entryType && fresh.allocatedSize == allocatedSize &&
                      fresh.logicalSize == logicalSize && fresh.modificationTime == modificationTime;
    return same ? SnapshotValidationResult::valid : SnapshotValidationResult::changed;
}

int64_t FileSystemSnapshot::uniqueAllocatedSize(const std::vector<FileSystemSnapshot> &snapshots)
{
    std::set<std::pair<uint64_t, uint64_t>> seen;
    int64_t total = 0;
    for (const auto &snapshot : snapshots) {
        if (seen.insert({snapshot.deviceID, snapshot.inode}).second) {
            total = saturatingAdd(total, snapshot.allocatedSize);
        }
    }
    return total;
}

nlohmann::ordered_json FileSystemSnapshot::toJson() const
{
    nlohmann::ordered_json object;
    object["path"] = path;
    object["canonicalPath"] = canonicalPath;
    object["fileID"] = fileID;
    object["deviceID"] = deviceID;
    object["inode"] = inode;
    object["hardLinkCount"] = hardLinkCount;
    object["entryType"] = std::string(rawValue(entryType));
    object["allocatedSize"] = allocatedSize;
    object["logicalSize"] = logicalSize;
    object["modificationTime"] = formatIso8601(modificationTime);
    object["isSymbolicLink"] = isSymbolicLink;
    object["isMountPoint"] = isMountPoint;
    object["scanTime"] = formatIso8601(scanTime);
    return object;
}

std::optional<FileSystemSnapshot> FileSystemSnapshot::fromJson(const nlohmann::ordered_json &object)
{
    namespace F = JsonFields;
    auto path = F::string(object, "path");
    auto canonicalPath = F::string(object, "canonicalPath");
    const auto fileID = F::unsignedInteger(object, "fileID");
    const auto deviceID = F::unsignedInteger(object, "deviceID");
    const auto inode = F::unsignedInteger(object, "inode");
    const auto hardLinkCount = F::unsignedInteger(object, "hardLinkCount");
    const auto entryTypeText = F::string(object, "entryType");
    const auto entryType = entryTypeText ? fileSystemEntryTypeFromRaw(*entryTypeText) : std::nullopt;
    const auto allocatedSize = F::signedInteger(object, "allocatedSize");
    const auto logicalSize = F::signedInteger(object, "logicalSize");
    const auto modificationTime = F::timestamp(object, "modificationTime");
    const auto isSymbolicLink = F::boolean(object, "isSymbolicLink");
    const auto isMountPoint = F::boolean(object, "isMountPoint");
    const auto scanTime = F::timestamp(object, "scanTime");
    if (!path || !canonicalPath || !fileID || !deviceID || !inode || !hardLinkCount || !entryType || !allocatedSize ||
        !logicalSize || !modificationTime || !isSymbolicLink || !isMountPoint || !scanTime) {
        return std::nullopt;
    }
    return FileSystemSnapshot{std::move(*path), std::move(*canonicalPath),
                              *fileID,          *deviceID,
                              *inode,           *hardLinkCount,
                              *entryType,       *allocatedSize,
                              *logicalSize,     *modificationTime,
                              *isSymbolicLink,  *isMountPoint,
                              *scanTime};
}

} // namespace tarnwick
