#pragma once

#include "engine/TrashTransactionRecord.h"

#include <string>
#include <vector>

// Putting moved folders back from the Trash, from what the journal recorded of each move.
namespace tarnwick::PutBack {

struct Outcome {
    std::string recordID;
    std::string originalPath;
    bool restored = false;
    std::string reason;  // why it stayed where it is; empty when restored
};

// Whether the entry the record moved still lies at its Trash location, as the same entry.
bool isInTrash(const TrashTransactionRecord &move);

// The journal's moves of the last cleaning logged, in the order moved; empty when none is.
std::vector<TrashTransactionRecord> lastCleaning();

// Puts each move back, in order; one refusal never stops the rest.
std::vector<Outcome> putBack(const std::vector<TrashTransactionRecord> &moves);

// The journal's moves that the ids name, in the order of `ids`; ids the journal does not hold are
// returned in `unknown`.
std::vector<TrashTransactionRecord> movesNamed(const std::vector<TrashTransactionRecord> &journal,
                                               const std::vector<std::string> &ids, std::vector<std::string> &unknown);

}  // namespace tarnwick::PutBack
