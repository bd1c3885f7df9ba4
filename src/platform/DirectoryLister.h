#pragma once

#include <cstddef>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <string_view>
#include <utility>

namespace tarnwick {

// One entry of a directory listing. The name points into the lister's buffer and is valid only
// during the callback. type is the dirent d_type (DT_DIR, DT_LNK, ..., DT_UNKNOWN when the file
// system does not fill it in).
struct DirectoryEntry {
    std::string_view name;
    unsigned char type;
};

// Lists an open directory with getdents64 into one reusable buffer, in the order the file system
// returns entries, without "." and "..". One lister serves a whole walk, so listing allocates
// nothing per folder.
class DirectoryLister {
public:
    DirectoryLister();

    // Calls visit(const DirectoryEntry &) for every entry of the directory open at dirFd, reading
    // from the descriptor's current offset. Returns 0, or the errno of a failed read (entries seen
    // before the failure have been visited).
    template <typename Visit> int forEachEntry(int dirFd, Visit &&visit)
    {
        return forEachEntry(dirFd, std::forward<Visit>(visit), [] {});
    }

    // The same, calling endOfBatch() after the entries of each read, while their names are still
    // valid: callers that publish work per batch do it there.
    template <typename Visit, typename EndOfBatch> int forEachEntry(int dirFd, Visit &&visit, EndOfBatch &&endOfBatch);

private:
    // Fills the buffer with the next batch; returns the byte count, 0 at the end, -errno on error.
    long readBatch(int dirFd);

    static constexpr std::size_t kBufferSize = 64 * 1024;
    std::unique_ptr<char[]> m_buffer;
};

namespace detail {
// Layout of struct linux_dirent64: u64 d_ino, s64 d_off, u16 d_reclen, u8 d_type, char d_name[].
inline constexpr std::size_t kDirentReclenOffset = 16;
inline constexpr std::size_t kDirentTypeOffset = 18;
inline constexpr std::size_t kDirentNameOffset = 19;
} // namespace detail

template <typename Visit, typename EndOfBatch>
int DirectoryLister::forEachEntry(int dirFd, Visit &&visit, EndOfBatch &&endOfBatch)
{
    while (true) {
        const long count = readBatch(dirFd);
        if (count < 0) {
            return static_cast<int>(-count);
        }
        if (count == 0) {
            return 0;
        }
        for (long offset = 0; offset < count;) {
            const char *record = m_buffer.get() + offset;
            unsigned short recordLength = 0;
            std::memcpy(&recordLength, record + detail::kDirentReclenOffset, sizeof recordLength);
            offset += recordLength;
            const std::string_view name(record + detail::kDirentNameOffset);
            if (name == "." || name == "..") {
                continue;
            }
            visit(DirectoryEntry{name, static_cast<unsigned char>(record[detail::kDirentTypeOffset])});
        }
        endOfBatch();
    }
}

} // namespace tarnwick
