#pragma once

#include "engine/TrashTransactionRecord.h"

#include <optional>
#include <string>
#include <vector>

// The journal of guided cleanings: one compact JSON line per item moved to the Trash, in
// $XDG_DATA_HOME/Tarnwick/SuperCleanTransactions.jsonl. Lines are only ever appended; nothing reads
// the file back, and nothing here ever rewrites or replaces it.
namespace tarnwick::SuperCleanTransactionStore {

// The journal's path, with its folder created (private) when missing; nothing when that fails.
std::optional<std::string> manifestPath();

// Appends one line per record, the last one ending with a line feed too. A journal that does not
// exist yet appears whole (written aside, then linked into place), so a reader never sees half of
// it. Never fails: the cleaning does not depend on its journal, so every error is dropped, and a
// journal that exists but cannot be appended to, or is not a regular file, is left exactly as it was.
// Never waits on the journal: a FIFO at its name does not hold the caller up.
void append(const std::vector<TrashTransactionRecord> &records);

}  // namespace tarnwick::SuperCleanTransactionStore
