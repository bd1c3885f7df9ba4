#pragma once

#include "engine/CleanupRules.h"
#include "engine/Tarnwicker.h"

#include <map>
#include <string>
#include <vector>

namespace tarnwick::testing {

inline ScanOptions everyRule(std::vector<std::string> roots)
{
    ScanOptions options;
    options.roots = std::move(roots);
    options.includeAggressive = true;
    options.selectedTargetKeys = CleanupRules::allKeys();
    return options;
}

struct ScanRecording {
    std::vector<CleanupCandidate> result;
    std::vector<CleanupCandidate> delivered;
    std::vector<ScanProgress> progress;
    bool cancelled = false;
};

inline ScanRecording recordScan(const ScanOptions &options, const CancellationToken &token = {},
                                const std::function<void(const ScanProgress &)> &onProgress = {},
                                const WalkSettings &settings = {})
{
    ScanRecording recording;
    try {
        recording.result = Tarnwicker::scan(
            options,
            [&](const ScanProgress &p) {
                recording.progress.push_back(p);
                if (onProgress) {
                    onProgress(p);
                }
            },
            [&](const CleanupCandidate &c) { recording.delivered.push_back(c); }, token, settings);
    } catch (const CancellationError &) {
        recording.cancelled = true;
    }
    return recording;
}

inline WalkSettings threads(unsigned count)
{
    WalkSettings settings;
    settings.threads = count;
    return settings;
}

// Found folders as path relative to `root` -> rule key.
inline std::map<std::string, std::string> foundKeys(const std::vector<CleanupCandidate> &candidates,
                                                    const std::string &root)
{
    std::map<std::string, std::string> found;
    for (const auto &candidate : candidates) {
        found[candidate.path.substr(root.size() + 1)] = candidate.key;
    }
    return found;
}

} // namespace tarnwick::testing
