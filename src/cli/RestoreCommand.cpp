#include "cli/RestoreCommand.h"

#include "cli/CandidateOutput.h"
#include "cli/ScanCommand.h"
#include "cli/StandardOutput.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "core/Iso8601.h"
#include "engine/PutBack.h"
#include "engine/SuperCleanTransactionStore.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace tarnwick::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string localTime(Timestamp when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

int listMoves(const CliOptions &options)
{
    std::vector<TrashTransactionRecord> moves = SuperCleanTransactionStore::records();
    std::reverse(moves.begin(), moves.end());  // newest first
    if (options.json) {
        std::vector<Json> objects;
        for (const auto &move : moves) {
            Json object{{"id", move.id}, {"timestamp", formatIso8601(move.timestamp)}};
            addPathMembers(object, move.originalPath, "originalPath");
            addPathMembers(object, move.trashPath, "trashPath");
            object["category"] = move.category;
            object["size"] = move.size;
            object["inTrash"] = PutBack::isInTrash(move);
            objects.push_back(std::move(object));
        }
        writeOutput(jsonLinesArray(objects));
        return kExitDone;
    }
    if (moves.empty()) {
        writeOutput("No cleanup has moved anything to the Trash yet.\n");
        return kExitDone;
    }
    std::size_t sizeWidth = 4;
    for (const auto &move : moves) {
        sizeWidth = std::max(sizeWidth, formatByteCount(move.size).size());
    }
    const auto padded = [](std::string text, std::size_t width) {
        return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
    };
    std::string text = "ID" + std::string(36, ' ') + "WHEN              " + padded("SIZE", sizeWidth) + "  IN TRASH  PATH\n";
    for (const auto &move : moves) {
        text += move.id + "  " + localTime(move.timestamp) + "  " + padded(formatByteCount(move.size), sizeWidth) +
                (PutBack::isInTrash(move) ? "  yes       " : "  no        ") + displayPath(move.originalPath) + '\n';
    }
    writeOutput(text);
    return kExitDone;
}

}  // namespace

int runRestore(const CliOptions &options, const CancellationToken &)
{
    if (options.last && !options.moveIDs.empty()) {
        std::fprintf(stderr, "tarnwick-cli: give either --last or the ids of moves, not both\n");
        return kExitUsage;
    }
    if (!options.last && options.moveIDs.empty()) {
        return listMoves(options);
    }
    std::vector<std::string> unknown;
    const std::vector<TrashTransactionRecord> moves =
        options.last ? PutBack::lastCleaning()
                     : PutBack::movesNamed(SuperCleanTransactionStore::records(), options.moveIDs, unknown);
    if (options.last && moves.empty()) {
        std::fprintf(stderr, "tarnwick-cli: no cleanup has been recorded, so there is nothing to put back\n");
        return kExitSomeFailed;
    }
    for (const auto &id : unknown) {
        std::fprintf(stderr, "tarnwick-cli: %s: no such move in the journal (see `tarnwick-cli restore`)\n",
                     displayPath(id).c_str());
    }
    const std::vector<PutBack::Outcome> outcomes = PutBack::putBack(moves);
    int64_t restored = 0;
    std::vector<Json> objects;
    std::string text;
    for (const auto &outcome : outcomes) {
        if (outcome.restored) {
            ++restored;
            text += "Put back " + displayPath(outcome.originalPath) + '\n';
        } else {
            std::fprintf(stderr, "tarnwick-cli: %s: %s\n", displayPath(outcome.originalPath).c_str(),
                         outcome.reason.c_str());
        }
        Json object{{"id", outcome.recordID}};
        addPathMembers(object, outcome.originalPath, "originalPath");
        object["restored"] = outcome.restored;
        object["reason"] = outcome.restored ? Json(nullptr) : Json(outcome.reason);
        objects.push_back(std::move(object));
    }
    const auto refused = static_cast<int64_t>(outcomes.size()) - restored;
    if (options.json) {
        writeOutput(jsonLinesArray(objects));
    } else {
        text += "Put back " + countPhrase(restored) + (refused > 0 ? "; " + countPhrase(refused) + " stayed where " +
                                                                        (refused == 1 ? "it was" : "they were")
                                                                  : std::string()) +
                ".\n";
        writeOutput(text);
    }
    return refused == 0 && unknown.empty() ? kExitDone : kExitSomeFailed;
}

}  // namespace tarnwick::cli
