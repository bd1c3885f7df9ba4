#pragma once

#include "cli/CliOptions.h"
#include "cli/TerminalStyle.h"
#include "engine/CancellationToken.h"
#include "engine/SuperCleanItem.h"

#include <string>
#include <vector>

namespace tarnwick::cli {

// `tarnwick-cli analyze`: the guided analysis of the roots, as the app's Super Clean makes it (every
// rule, a root may itself be an item, the same evidence and verdicts), without cleaning anything.
// Prints the items in review order, grouped by tier, as a table or JSON. Exit status 0 when done, 2
// when no root is usable, 130 when cancelled (what was found so far is still printed).
int runAnalyze(const CliOptions &options, const CancellationToken &token);

struct AnalysisOutcome {
    std::vector<SuperCleanItem> items;  // in review order, also when cancelled
    bool cancelled = false;
    bool noUsableRoot = false;
};

// The guided analysis of the roots that exist (the others are reported on standard error), with
// the progress line unless `quiet`, walked as `walk` says.
AnalysisOutcome analyzeRoots(const std::vector<std::string> &roots, bool quiet, const WalkSettings &walk,
                             const CancellationToken &token);

// The items under a heading per tier: size, rule key and path, then the reasons and the consequence.
// With colour, the headings take their tier's colour and the total is bold.
std::string itemsTable(const std::vector<SuperCleanItem> &items, const TerminalStyle &style = {});

// The items as a JSON array, one object per line.
std::string itemsJson(const std::vector<SuperCleanItem> &items);

}  // namespace tarnwick::cli
