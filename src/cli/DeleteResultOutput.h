#pragma once

#include "engine/CleanupAction.h"
#include "engine/DeleteResult.h"

#include <nlohmann/json.hpp>

#include <string>

namespace tarnwick::cli {

// The cleanup result as one JSON object: deleted, failures, missing, skipped, trashRecords (arrays,
// one element per line) and cancelled. Candidates have the keys of `scan --json`; a path that is
// not UTF-8 comes with "pathBytes" beside it, as there.
// Members of `extra` (an object) follow the result's own.
std::string deleteResultJson(const DeleteResult &result, const nlohmann::ordered_json &extra = {});

// One sentence saying what the cleanup did, for example "Moved 2 folders (1.2 MB) to the Trash;
// 1 folder failed."
std::string cleanupSummary(const DeleteResult &result, CleanupAction action);

}  // namespace tarnwick::cli
