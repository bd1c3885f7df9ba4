#pragma once

#include "cli/CliOptions.h"
#include "engine/CancellationToken.h"

namespace tarnwick::cli {

// `tarnwick-cli restore`: without arguments, lists the journal's moves newest first (id, time, size,
// whether the folder is still in the Trash, original path); with --last, puts back every folder of
// the last cleanup; with ids, the moves they name. A folder goes back only if it is still the entry
// that was moved and nothing is at its original path; anything else stays where it is, with the
// reason on standard error. Exit status 0 when everything asked for was put back, 1 otherwise.
int runRestore(const CliOptions &options, const CancellationToken &token);

}  // namespace tarnwick::cli
