#pragma once

#include "cli/CliOptions.h"
#include "engine/CancellationToken.h"

namespace tarnwick::cli {

// `tarnwick-cli clean`: scans as `scan` does, shows what it found, asks for confirmation on a
// terminal (or takes --yes), then moves every found folder to the Trash, or deletes it with
// --permanently. Exit status 0 when everything was cleaned, 1 when some folder failed, 2 on bad
// usage or when there is no one to confirm, 130 when cancelled.
int runClean(const CliOptions &options, const CancellationToken &token);

}  // namespace tarnwick::cli
