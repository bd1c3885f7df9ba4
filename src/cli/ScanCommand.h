#pragma once

#include "cli/CliOptions.h"
#include "engine/CancellationToken.h"
#include "engine/CleanupCandidate.h"

#include <cstdio>
#include <string>
#include <vector>

namespace tarnwick::cli {

enum ExitStatus : int {
    kExitDone = 0,
    kExitSomeFailed = 1,
    kExitUsage = 2,
    kExitCancelled = 130,
};

struct ScanOutcome {
    std::vector<CleanupCandidate> candidates; // largest first, also when cancelled
    bool cancelled = false;
    bool noUsableRoot = false;
};

// The roots normalized, less every one that does not exist or is not a folder (a link to a folder
// is one); each of those is reported on standard error.
std::vector<std::string> usableRoots(const std::vector<std::string> &given);

// The roots with repeats dropped: a root that is, or lies inside, an earlier or outer root (links
// resolved, so a root given through a link and by its real path count as one) adds nothing but a
// second listing of the same folders.
std::vector<std::string> mergedRoots(const std::vector<std::string> &roots);

// Reports every root that does not exist or is not a folder on standard error, then scans the
// rest. When cancelled, the candidates found so far are kept and ordered as a finished scan's.
ScanOutcome scanRoots(const CliOptions &options, const CancellationToken &token);

// `tarnwick-cli scan`: the candidates as a table or JSON on standard output.
int runScan(const CliOptions &options, const CancellationToken &token);

} // namespace tarnwick::cli
