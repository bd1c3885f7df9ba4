#pragma once

#include "core/FileSystemSnapshot.h"
#include "core/SuperCleanActivityEvidence.h"
#include "engine/CleanupCandidate.h"
#include "engine/ScanOptions.h"
#include "engine/SuperCleanItem.h"
#include "platform/ProcessUsage.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The guided analysis of found folders: the scan it asks for, the evidence it gathers about each
// folder, the policy's verdict, and the final list. Synchronous and free of shared state, so the
// application runs it on its scan thread and the command line in its only thread.
namespace tarnwick::SuperCleanAnalysis {

// What judging a folder needs besides the folder itself; copied to the thread that does the work.
struct Context {
    std::vector<std::string> roots;        // the scanned roots, already free of nesting
    std::set<std::string> alwaysKeep;      // the user's Always Keep paths
    // What running processes hold, read once when the scan starts; none means "not looked at".
    std::shared_ptr<const ProcessUsage> processUsage;
};

// Every rule of the catalogue, the extra types included, no size limit, the Always Keep paths left
// out, and a root may itself be an item (a cache folder offered as a location is one).
ScanOptions scanOptions(const Context &context);

// The item for a found folder: its approved root, a fresh identity snapshot, the evidence and the
// decision. Nothing when the folder lies outside every root or cannot be read.
std::optional<SuperCleanItem> makeItem(const CleanupCandidate &candidate, const Context &context, Timestamp now);

// What is known about a folder. Failed readings count as the negative answer. A folder a running
// process uses counts as one whose related tool is running, and its note says which process.
SuperCleanActivityEvidence evidence(const CleanupCandidate &candidate, const std::string &approvedRoot,
                                    const FileSystemSnapshot &snapshot, const Context &context, Timestamp now);

// The process that uses the folder (its working folder, an open or a mapped file is in it), if any.
std::optional<ProcessUser> processUsing(const std::string &path, const ProcessUsage &usage);

// The later of the folder's own modification date and that of the ".git" of the nearest repository
// that holds it, looked for only inside the approved root: a dependency folder is as active as its
// project. Absent when neither is known.
std::optional<Timestamp> activityDate(const CleanupCandidate &candidate, const std::string &approvedRoot);

// Whole calendar days from `date` to `now`, never below 0; absent when the date is.
std::optional<int64_t> daysInactive(const std::optional<Timestamp> &date, Timestamp now);

// A node_modules folder needs a manifest or lockfile beside it; every other rule needs nothing.
bool hasRequiredManifest(const CleanupCandidate &candidate);

// Whether the rule alone, or the manifest for node_modules, shows the folder is generated. Generic
// names (build, dist, coverage) never do.
bool hasStrongGeneratedContext(const CleanupCandidate &candidate, bool hasRequiredManifest);

// Whether the developer tool behind an Xcode, iOS or Docker folder is running. Reads the process list
// only for those categories. Docker counts as running when its daemon runs, whoever runs it.
bool isRelatedToolRunning(const CleanupCandidate &candidate);

// The review order: recommended, review, advanced; larger first within a tier; then by path in the
// natural order. Total, so the list never depends on the order items arrived in.
bool comesBefore(const SuperCleanItem &a, const SuperCleanItem &b);

std::vector<SuperCleanItem> sortedItems(std::vector<SuperCleanItem> items);

// The final list of a scan: the items already made are kept as they are, the scanner's final
// candidates not among them are made now, any item inside another item is dropped, and the rest is
// sorted in review order.
std::vector<SuperCleanItem> reconciled(std::vector<SuperCleanItem> items,
                                       const std::vector<CleanupCandidate> &finalCandidates, const Context &context,
                                       Timestamp now);

}  // namespace tarnwick::SuperCleanAnalysis
