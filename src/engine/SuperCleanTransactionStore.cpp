#include "engine/SuperCleanTransactionStore.h"

#include "core/PathRules.h"
#include "platform/FileDescriptor.h"
#include "platform/FileIO.h"
#include "platform/UserFolders.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick::SuperCleanTransactionStore {

namespace {

enum class AppendOutcome { written, absent, failed };

AppendOutcome appendToExisting(const std::string &path, const std::string &text)
{
    // Anything but a regular file there (a FIFO would hold the cleaning's thread until someone
    // opened its other end; a link could point anywhere) is left alone and the lines are dropped.
    const FileDescriptor fd = openRegularFile(AT_FDCWD, path.c_str(), O_WRONLY | O_APPEND);
    if (!fd.valid()) {
        return errno == ENOENT ? AppendOutcome::absent : AppendOutcome::failed;
    }
    // One write of a few lines with O_APPEND lands after whatever another process appended.
    return writeAll(fd.get(), text) ? AppendOutcome::written : AppendOutcome::failed;
}

// Writes the new journal beside its final name and links it into place. link() refuses an existing
// name, so a journal that appeared meanwhile is appended to instead of replaced.
void createWhole(const std::string &path, const std::string &text)
{
    std::string temporary = std::string(parentPath(path)) + "/.SuperCleanTransactions.jsonl.XXXXXX";
    const FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.valid()) {
        return;
    }
    const bool written = writeAll(fd.get(), text) && ::fsync(fd.get()) == 0;
    const bool linked = written && ::link(temporary.c_str(), path.c_str()) == 0;
    const bool raced = written && !linked && errno == EEXIST;
    ::unlink(temporary.c_str());
    if (raced) {
        appendToExisting(path, text);
    }
}

}  // namespace

std::optional<std::string> manifestPath()
{
    const std::string folder = joinPath(normalizedPath(dataHomeFolder()), "Tarnwick");
    if (makeFolderPath(folder) != 0) {
        return std::nullopt;
    }
    return joinPath(folder, "SuperCleanTransactions.jsonl");
}

void append(const std::vector<TrashTransactionRecord> &records)
{
    if (records.empty()) {
        return;
    }
    std::string text;
    for (const auto &record : records) {
        try {
            // A path that is not UTF-8 cannot be a JSON string as it is; its odd bytes are written as
            // U+FFFD, because a move recorded with a blurred name still beats a move not recorded.
            text += record.toJson().dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
            text += '\n';
        } catch (const nlohmann::ordered_json::exception &) {
        }
    }
    if (text.empty()) {
        return;
    }
    const auto path = manifestPath();
    if (!path) {
        return;
    }
    if (appendToExisting(*path, text) == AppendOutcome::absent) {
        createWhole(*path, text);
    }
}

}  // namespace tarnwick::SuperCleanTransactionStore
