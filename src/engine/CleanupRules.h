#pragma once

#include "engine/CleanupPreset.h"
#include "engine/CleanupRule.h"
#include "platform/StandardLocations.h"

#include <set>
#include <string>
#include <vector>

// The fixed catalogue of cleanup rules. The order matters: a scan tries the selected rules in this
// order and the first that matches a folder wins.
namespace tarnwick::CleanupRules {

// The catalogue of the running system, built once (thread-safe) and shared read-only.
const std::vector<CleanupRule> &all();

// The catalogue as it reads on a given system: the same 38 rules, with the home-relative locations
// of that system's standard-location table.
std::vector<CleanupRule> catalogue(OperatingSystem system);

std::set<std::string> allKeys();

// The keys a preset switches on, and whether it switches the extra (aggressive) types on too.
std::set<std::string> keys(CleanupPreset preset);
bool includesAggressive(CleanupPreset preset);

// The rules a scan uses: those whose key is enabled, aggressive ones only when allowed; in
// catalogue order. Unknown keys are ignored.
std::vector<CleanupRule> selected(bool includeAggressive, const std::set<std::string> &selectedTargetKeys);

}  // namespace tarnwick::CleanupRules
