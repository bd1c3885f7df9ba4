#include "engine/SuperCleanTransactionStore.h"

#include "core/PathRules.h"
#include "platform/FileDescriptor.h"
#include "platform/FileIO.h"
#include "platform/UserFolders.h"


namespace tarnwick::SuperCleanTransactionStore {


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
    appendLines(*path, text);
}

std::vector<TrashTransactionRecord> records()
{
    std::vector<TrashTransactionRecord> found;
    const auto path = manifestPath();
    std::string text;
    if (!path || !readRegularFile(*path, text, kMaxJournalBytes)) {
        return found;
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const auto object = nlohmann::ordered_json::parse(text.begin() + static_cast<std::ptrdiff_t>(start),
                                                          text.begin() + static_cast<std::ptrdiff_t>(end), nullptr,
                                                          false);
        start = end + 1;
        if (object.is_object()) {
            if (auto record = TrashTransactionRecord::fromJson(object)) {
                found.push_back(std::move(*record));
            }
        }
    }
    return found;
}

}  // namespace tarnwick::SuperCleanTransactionStore
