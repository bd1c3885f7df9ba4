#pragma once

#include "cli/CliOptions.h"
#include "engine/CancellationToken.h"

namespace tarnwick::cli {

// `tarnwick-cli clean --guided`: the guided analysis of the roots (the application's saved scan
// folders when none is given), then only the Recommended items, largest first, are moved to the
// Trash: never a folder a running process uses, each re-validated against its snapshot right before
// its move, every move journaled like the application's. With --keep-free it stops as soon as the
// home volume has that much available, counting what moved into a Trash on that volume (emptying
// the Trash gives it back). Output, prompt and exit statuses are those of `clean`.
int runGuidedClean(const CliOptions &options, const CancellationToken &token);

}  // namespace tarnwick::cli
