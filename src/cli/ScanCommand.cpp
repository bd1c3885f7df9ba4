#include "cli/ScanCommand.h"

#include "cli/CandidateOutput.h"
#include "cli/ProgressLine.h"
#include "core/PathRules.h"
#include "engine/CleanupRules.h"
#include "engine/Tarnwicker.h"
#include "platform/FileTests.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tarnwick::cli {

namespace {

void warnAboutInactiveRules(const CliOptions &options, const ScanOptions &scan)
{
    if (scan.includeAggressive) {
        return;
    }
    for (const auto &rule : CleanupRules::all()) {
        if (rule.aggressive && std::find(options.rules.begin(), options.rules.end(), rule.key) != options.rules.end()) {
            std::fprintf(stderr, "tarnwick-cli: rule '%s' is an extra type and is only used with --aggressive\n",
                         rule.key.c_str());
        }
    }
}

} // namespace

std::vector<std::string> usableRoots(const std::vector<std::string> &given)
{
    std::vector<std::string> usable;
    for (const auto &root : given) {
        const std::string path = normalizedPath(root);
        const std::string shown = displayPath(root);
        if (!fileExists(path)) {
            std::fprintf(stderr, "tarnwick-cli: %s: %s\n", shown.c_str(),
                         errno == EACCES ? std::strerror(errno) : "No such folder");
        } else if (!isDirectory(path)) {
            std::fprintf(stderr, "tarnwick-cli: %s: Not a folder\n", shown.c_str());
        } else {
            usable.push_back(path);
        }
    }
    return usable;
}

std::vector<std::string> mergedRoots(const std::vector<std::string> &roots)
{
    std::vector<std::string> real;
    for (const auto &root : roots) {
        char resolved[PATH_MAX];
        real.emplace_back(::realpath(root.c_str(), resolved) != nullptr ? resolved : root);
    }
    std::vector<std::string> merged;
    for (std::size_t i = 0; i < roots.size(); ++i) {
        bool covered = false;
        for (std::size_t j = 0; j < roots.size() && !covered; ++j) {
            covered = j != i && isPathInside(real[i], real[j]) && (real[i] != real[j] || j < i);
        }
        if (!covered) {
            merged.push_back(roots[i]);
        }
    }
    return merged;
}

namespace {

// A folder reached twice (a bind mount shows it under two paths) is still one folder to clean.
void dropRepeatedFolders(std::vector<CleanupCandidate> &candidates)
{
    std::set<std::pair<dev_t, ino_t>> seen;
    std::erase_if(candidates, [&](const CleanupCandidate &candidate) {
        return candidate.origin &&
               !seen.insert({candidate.origin->identity.device, candidate.origin->identity.inode}).second;
    });
}

} // namespace

ScanOutcome scanRoots(const CliOptions &options, const CancellationToken &token)
{
    ScanOutcome outcome;
    ScanOptions scan = scanOptionsFor(options);
    warnAboutInactiveRules(options, scan);
    scan.roots = mergedRoots(usableRoots(options.roots));
    if (scan.roots.empty()) {
        outcome.noUsableRoot = true;
        return outcome;
    }

    ProgressLine line(options.quiet);
    std::vector<CleanupCandidate> found;
    try {
        outcome.candidates = Tarnwicker::scan(
            scan, [&](const ScanProgress &progress) { line.show(progress.message, progress.currentPath); },
            [&](const CleanupCandidate &candidate) { found.push_back(candidate); }, token, walkSettingsFor(options));
    } catch (const CancellationError &) {
        outcome.cancelled = true;
        std::stable_sort(found.begin(), found.end(),
                         [](const CleanupCandidate &a, const CleanupCandidate &b) { return a.size > b.size; });
        outcome.candidates = std::move(found);
    }
    line.clear();
    dropRepeatedFolders(outcome.candidates);
    return outcome;
}

int runScan(const CliOptions &options, const CancellationToken &token)
{
    const ScanOutcome outcome = scanRoots(options, token);
    if (outcome.noUsableRoot) {
        std::fprintf(stderr, "tarnwick-cli: no folder left to scan\n");
        return kExitUsage;
    }
    const std::string text =
        options.json ? candidatesJson(outcome.candidates)
                     : candidatesTable(outcome.candidates, TerminalStyle::forStream(options.color, STDOUT_FILENO));
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (outcome.cancelled) {
        std::fprintf(stderr, "tarnwick-cli: scan cancelled; showing what was found so far\n");
        return kExitCancelled;
    }
    return kExitDone;
}

} // namespace tarnwick::cli
