#pragma once

#include "FixtureTree.h"
#include "engine/Tarnwicker.h"

#include <functional>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace tarnwick::testing {

inline CleanupCandidate candidateAt(const std::string &path, const std::string &key = "node_modules")
{
    CleanupCandidate candidate;
    candidate.id = path;
    candidate.path = path;
    candidate.key = key;
    candidate.category = "JavaScript";
    candidate.description = "installed packages";
    candidate.size = 4096;
    return candidate;
}

// Names, sizes and inodes of everything below a folder: equal listings mean nothing was disturbed.
inline std::string listing(const std::string &folder)
{
    return runCommand("cd " + shellQuote(folder) + " && find . -printf '%p %s %i\\n' | sort");
}

inline bool entryExists(const std::string &path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

struct DeletionRun {
    DeleteResult result;
    std::vector<DeleteProgress> progress;
};

struct DeletionInputs {
    std::map<std::string, FileSystemSnapshot> snapshots;
    std::map<std::string, std::string> approvedRoots;
    std::function<void(const DeleteProgress &, CancellationToken &)> onProgress;
};

inline DeletionRun runDeletion(const std::vector<CleanupCandidate> &candidates, CleanupAction action,
                               const DeletionInputs &inputs = {})
{
    DeletionRun run;
    CancellationToken token;
    run.result = Tarnwicker::deleteCandidates(
        candidates, action, inputs.snapshots, inputs.approvedRoots,
        [&](const DeleteProgress &progress) {
            run.progress.push_back(progress);
            if (inputs.onProgress) {
                inputs.onProgress(progress, token);
            }
        },
        token);
    return run;
}

// A progress record built field by field, for comparing whole records.
inline DeleteProgress progressRecord(OperationPhase phase, std::string message, int64_t total, int64_t index,
                                     int64_t deleted, int64_t failed, std::string path = {}, std::string item = {},
                                     int64_t entries = 0)
{
    return DeleteProgress{phase,  std::move(message), total,           index,  deleted,
                          failed, std::move(path),    std::move(item), entries};
}

} // namespace tarnwick::testing
