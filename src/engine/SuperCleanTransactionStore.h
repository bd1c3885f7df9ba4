#pragma once

#include "engine/TrashTransactionRecord.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The journal of cleanings: one compact JSON line per item moved to the Trash, in
// $XDG_DATA_HOME/Tarnwick/SuperCleanTransactions.jsonl. Lines are only ever appended; nothing here
// ever rewrites or replaces it. Putting items back reads it.
namespace tarnwick::SuperCleanTransactionStore {

// The journal's path, with its folder created (private) when missing; nothing when that fails.
std::optional<std::string> manifestPath();

// Appends one line per record, the last one ending with a line feed too. A journal that does not
// exist yet appears whole (written aside, then linked into place), so a reader never sees half of
// it. Never fails: the cleaning does not depend on its journal, so every error is dropped, and a
// journal that exists but cannot be appended to, or is not a regular file, is left exactly as it was.
// Never waits on the journal: a FIFO at its name does not hold the caller up.
void append(const std::vector<TrashTransactionRecord> &records);

// Every record of the journal in the order written; damaged lines (a crash mid-write, a hand edit)
// are skipped. Empty when there is no journal, or it is not a regular file.
std::vector<TrashTransactionRecord> records();

// A journal past this is not read whole (some 500,000 moves).
inline constexpr std::size_t kMaxJournalBytes = 512 * 1024 * 1024;

}  // namespace tarnwick::SuperCleanTransactionStore
