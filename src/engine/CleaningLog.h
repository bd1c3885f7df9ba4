#pragma once

#include "engine/CleanupCandidate.h"
#include "engine/DeleteProgress.h"
#include "engine/TrashTransactionRecord.h"

#include <map>
#include <string>
#include <vector>

// Which moves made up each cleaning. The journal holds one line per move and nothing that groups
// them; this log, Cleanings.jsonl beside it, holds one line per cleaning naming the journal records
// it wrote ({"id", "timestamp", "moves": [record ids]}), so "put back the last cleanup" knows
// what that was. Both files are only ever appended to.
namespace tarnwick::CleaningLog {

// Appends the records to the journal and, when there are any, the cleaning's line to this log.
// Never fails: a cleaning does not depend on its records.
void record(const std::vector<TrashTransactionRecord> &records, Timestamp when);

// Notes in `trashedTo` where a cleanup's progress says a candidate was moved in the Trash: the
// report of a finished Trash move names the candidate and the place it now has there.
void noteTrashMove(const DeleteProgress &progress, std::map<std::string, std::string> &trashedTo);

// Journal records for the Trash moves of a cleanup that carried no snapshots (the classic one):
// each moved entry is read where it now lies in the Trash (`trashedTo` maps a candidate's path to
// that place), which is who it was when it moved, since a move keeps an entry's identity.
std::vector<TrashTransactionRecord> recordsOfMoves(const std::vector<CleanupCandidate> &moved,
                                                   const std::map<std::string, std::string> &trashedTo, Timestamp when);

// The journal record ids of the last cleaning logged, in the order moved; empty when none is.
std::vector<std::string> lastCleaningMoves();

}  // namespace tarnwick::CleaningLog
