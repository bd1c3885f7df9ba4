#pragma once

#include "core/SuperCleanCandidateSeed.h"
#include "core/SuperCleanPolicyDecision.h"

#include <string>
#include <vector>

// How the guided cleanup judges what it found. Pure functions of their arguments: nothing here reads
// a file or keeps state, so the scan can call them from any thread.
namespace tarnwick::SuperCleanPolicy {

// The tier, automatic selection, reasons and consequence of one item. The checks run in a fixed order
// and the first that applies decides; only an item that passes all of them is recommended (and only
// a recommended item is selected automatically). Reads the seed's rule key, rule risk, size and
// evidence only.
SuperCleanPolicyDecision classify(const SuperCleanCandidateSeed &seed);

// Days without activity an item of this rule needs before it can be recommended: 30 for installed
// dependencies and per-project build caches, 7 for everything else.
int inactivityThreshold(const std::string &ruleKey);

// The roots to scan so that no folder is walked twice: normalized, duplicates dropped, and every
// path inside another one dropped (the shallowest of a nested chain stays), in natural order.
std::vector<std::string> deduplicatedRootPaths(const std::vector<std::string> &paths);

// The same reduction for found items, so that no listed item lies inside another listed item.
std::vector<std::string> prunedNestedCandidatePaths(const std::vector<std::string> &paths);

}  // namespace tarnwick::SuperCleanPolicy
