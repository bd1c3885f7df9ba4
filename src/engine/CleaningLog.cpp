#include "engine/CleaningLog.h"

#include "core/Iso8601.h"
#include "core/PathRules.h"
#include "engine/SuperCleanTransactionStore.h"
#include "engine/Uuid.h"
#include "platform/FileIO.h"

#include <nlohmann/json.hpp>

namespace tarnwick::CleaningLog {

namespace {

constexpr std::size_t kMaxLogBytes = 64 * 1024 * 1024;

std::optional<std::string> logPath()
{
    const auto journal = SuperCleanTransactionStore::manifestPath();
    if (!journal) {
        return std::nullopt;
    }
    return joinPath(parentPath(*journal), "Cleanings.jsonl");
}

}  // namespace

void record(const std::vector<TrashTransactionRecord> &records, Timestamp when)
{
    if (records.empty()) {
        return;
    }
    SuperCleanTransactionStore::append(records);
    const auto path = logPath();
    if (!path) {
        return;
    }
    nlohmann::ordered_json line;
    line["id"] = newUuid();
    line["timestamp"] = formatIso8601(when);
    auto moves = nlohmann::ordered_json::array();
    for (const auto &move : records) {
        moves.push_back(move.id);
    }
    line["moves"] = std::move(moves);
    appendLines(*path, line.dump() + '\n');
}

void noteTrashMove(const DeleteProgress &progress, std::map<std::string, std::string> &trashedTo)
{
    if (progress.entriesDeletedInCurrent == 1 && progress.message.ends_with(" to Trash")) {
        trashedTo[progress.currentPath] = progress.currentItem;
    }
}

std::vector<TrashTransactionRecord> recordsOfMoves(const std::vector<CleanupCandidate> &moved,
                                                   const std::map<std::string, std::string> &trashedTo, Timestamp when)
{
    std::vector<TrashTransactionRecord> records;
    for (const auto &candidate : moved) {
        const auto trashed = trashedTo.find(candidate.path);
        if (trashed == trashedTo.end()) {
            continue;
        }
        try {
            FileSystemSnapshot snapshot = FileSystemSnapshot::capture(trashed->second, when);
            records.push_back({newUuid(), candidate.path, trashed->second, std::move(snapshot), candidate.category,
                               candidate.size, when});
        } catch (const FileSystemSnapshotError &) {
            // Emptied from the Trash already: there is nothing left to put back.
        }
    }
    return records;
}

std::vector<std::string> lastCleaningMoves()
{
    const auto path = logPath();
    std::string text;
    if (!path || !readRegularFile(*path, text, kMaxLogBytes)) {
        return {};
    }
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.emplace_back(text.data() + start, end - start);
        start = end + 1;
    }
    // The last line that reads as a cleaning: one cut short by a crash is passed over.
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        const auto object = nlohmann::json::parse(line->begin(), line->end(), nullptr, false);
        if (!object.is_object() || !object.contains("moves") || !object["moves"].is_array()) {
            continue;
        }
        std::vector<std::string> moves;
        for (const auto &id : object["moves"]) {
            if (id.is_string()) {
                moves.push_back(id.get<std::string>());
            }
        }
        return moves;
    }
    return {};
}

}  // namespace tarnwick::CleaningLog
