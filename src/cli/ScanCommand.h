#pragma once

#include "cli/CliOptions.h"
#include "engine/CancellationToken.h"
#include "engine/CleanupCandidate.h"

#include <cstdio>
#include <vector>

namespace tarnwick::cli {

enum ExitStatus : int {
    kExitDone = 0,
    kExitSomeFailed = 1,
    kExitUsage = 2,
    kExitCancelled = 130,
};

struct ScanOutcome {
    std::vector<CleanupCandidate> candidates;  // largest first, also when cancelled
    bool cancelled = false;
    bool noUsableRoot = false;
};

// Reports every root that does not exist or is not a folder on standard error, then scans the
// rest. When cancelled, the candidates found so far are kept and ordered as a finished scan's.
ScanOutcome scanRoots(const CliOptions &options, const CancellationToken &token);

// `tarnwick-cli scan`: the candidates as a table or JSON on standard output.
int runScan(const CliOptions &options, const CancellationToken &token);

}  // namespace tarnwick::cli
