#include "engine/PutBack.h"

#include "engine/CleaningLog.h"
#include "engine/SuperCleanTransactionStore.h"

#include "platform/FileIdentity.h"
#include "platform/TrashRestore.h"

#include <sys/stat.h>

#include <algorithm>

namespace tarnwick::PutBack {

namespace {

FileIdentity identityOf(const TrashTransactionRecord &move)
{
    return {static_cast<dev_t>(move.snapshot.deviceID), static_cast<ino_t>(move.snapshot.inode)};
}

}  // namespace

bool isInTrash(const TrashTransactionRecord &move)
{
    struct stat status {};
    return ::lstat(move.trashPath.c_str(), &status) == 0 && identityOf(move).matches(status);
}

std::vector<TrashTransactionRecord> lastCleaning()
{
    const std::vector<std::string> ids = CleaningLog::lastCleaningMoves();
    if (ids.empty()) {
        return {};
    }
    std::vector<std::string> unknown;
    return movesNamed(SuperCleanTransactionStore::records(), ids, unknown);
}

std::vector<Outcome> putBack(const std::vector<TrashTransactionRecord> &moves)
{
    std::vector<Outcome> outcomes;
    for (const auto &move : moves) {
        Outcome outcome{move.id, move.originalPath, false, {}};
        // A name that was not UTF-8 is kept in the journal with U+FFFD for its odd bytes, so the
        // path there is not the place it came from.
        if (move.originalPath.find("\xEF\xBF\xBD") != std::string::npos) {
            outcome.reason = "Its original name was not recorded exactly; restore it from the file manager";
        } else {
            const RestoreResult result = restoreFromTrash(move.trashPath, identityOf(move), move.originalPath);
            outcome.restored = result.restored;
            outcome.reason = result.message;
        }
        outcomes.push_back(std::move(outcome));
    }
    return outcomes;
}

std::vector<TrashTransactionRecord> movesNamed(const std::vector<TrashTransactionRecord> &journal,
                                               const std::vector<std::string> &ids, std::vector<std::string> &unknown)
{
    std::vector<TrashTransactionRecord> named;
    for (const auto &id : ids) {
        // The whole id, or its first eight characters or more when they name one move alone.
        const auto exact = std::find_if(journal.rbegin(), journal.rend(), [&](const auto &move) { return move.id == id; });
        if (exact != journal.rend()) {
            named.push_back(*exact);
            continue;
        }
        const auto prefixed = [&](const auto &move) { return id.size() >= 8 && move.id.starts_with(id); };
        const auto first = std::find_if(journal.begin(), journal.end(), prefixed);
        if (first == journal.end() || std::count_if(journal.begin(), journal.end(), prefixed) != 1) {
            unknown.push_back(id);
        } else {
            named.push_back(*first);
        }
    }
    return named;
}

}  // namespace tarnwick::PutBack
