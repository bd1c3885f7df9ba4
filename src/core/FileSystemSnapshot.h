#pragma once

#include <nlohmann/json.hpp>

#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

enum class FileSystemEntryType { directory, regularFile, symbolicLink, other };

inline constexpr std::array<FileSystemEntryType, 4> allFileSystemEntryTypes{
    FileSystemEntryType::directory, FileSystemEntryType::regularFile, FileSystemEntryType::symbolicLink,
    FileSystemEntryType::other};

std::string_view rawValue(FileSystemEntryType type);
std::optional<FileSystemEntryType> fileSystemEntryTypeFromRaw(std::string_view raw);

// What a fresh look at a snapshotted path found; only `valid` allows touching the entry.
enum class SnapshotValidationResult { valid, missing, inaccessible, pathEscape, symbolicLink, mountPoint, changed };

inline constexpr std::array<SnapshotValidationResult, 7> allSnapshotValidationResults{
    SnapshotValidationResult::valid,        SnapshotValidationResult::missing,
    SnapshotValidationResult::inaccessible, SnapshotValidationResult::pathEscape,
    SnapshotValidationResult::symbolicLink, SnapshotValidationResult::mountPoint,
    SnapshotValidationResult::changed};

std::string_view rawValue(SnapshotValidationResult result);
std::optional<SnapshotValidationResult> snapshotValidationResultFromRaw(std::string_view raw);

// Thrown by capture when the path cannot be read with lstat, whatever the reason: callers decide
// what an unreadable path means, so the error deliberately carries nothing.
class FileSystemSnapshotError : public std::exception {
public:
    const char *what() const noexcept override { return "unavailable"; }
};

// Who the entry at a path was when it was found: identity, type, sizes, modification time, and
// whether it was a link or a mount point. Before anything is moved or deleted the snapshot is
// checked against a fresh reading, so only the very entry the user reviewed is ever touched.
struct FileSystemSnapshot {
    using Time = std::chrono::system_clock::time_point;

    std::string path;           // as the caller gave it
    std::string canonicalPath;  // normalizedPath(path); every read of the capture uses it
    uint64_t fileID = 0;        // st_ino
    uint64_t deviceID = 0;      // st_dev
    uint64_t inode = 0;         // st_ino
    uint64_t hardLinkCount = 0;
    FileSystemEntryType entryType = FileSystemEntryType::other;
    int64_t allocatedSize = 0;  // st_blocks * 512, or st_size when no block is allocated
    int64_t logicalSize = 0;    // st_size
    Time modificationTime{};    // to the nanosecond the file system keeps
    bool isSymbolicLink = false;
    bool isMountPoint = false;
    Time scanTime{};            // informational, never compared

    bool operator==(const FileSystemSnapshot &) const = default;

    // Reads the entry at normalizedPath(path) with lstat (a final link is recorded, not followed).
    // Throws FileSystemSnapshotError when it cannot be read.
    static FileSystemSnapshot capture(std::string_view path, Time scanTime);

    // Whether the entry now at currentPath is still this snapshot's entry, inside approvedRoot. The
    // checks run in a fixed order and the first that applies decides: containment (before any file
    // system access), readability, link, mount point, then identity, type, sizes and modification time.
    SnapshotValidationResult validate(std::string_view currentPath, std::string_view approvedRoot) const;

    // Allocated size of a set of snapshots counting each entry (device and inode) once, with the size
    // of its first snapshot: hard links and repeated captures are not counted twice.
    static int64_t uniqueAllocatedSize(const std::vector<FileSystemSnapshot> &snapshots);

    // The JSON object with the fields as keys in declaration order; the two times as ISO 8601 UTC
    // text in whole seconds. Paths are kept as their bytes. The fraction of a second is lost, so a
    // snapshot read back cannot validate an entry whose time has one: the journal is a record of
    // what was moved, not a source of snapshots.
    nlohmann::ordered_json toJson() const;

    // Every key is required with its exact JSON type; anything missing or mistyped gives nothing.
    static std::optional<FileSystemSnapshot> fromJson(const nlohmann::ordered_json &object);
};

}  // namespace tarnwick
