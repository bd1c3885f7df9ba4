// Cleans one folder through the engine alone, without the scan the command line does first, so a
// benchmark times only the deletion or the Trash move.
//
//   delete-candidate --permanently|--trash FOLDER [SIZE]
//
// SIZE is the folder's size as a scan would have measured it (given, the Trash move records it
// instead of sizing the folder itself, as it does after a scan).
// Exit status 0 when the folder was removed, 1 otherwise (the failure on standard error).

#include "core/PathRules.h"
#include "engine/Tarnwicker.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv)
{
    using namespace tarnwick;
    const std::string mode = argc == 3 || argc == 4 ? argv[1] : "";
    if (mode != "--permanently" && mode != "--trash") {
        std::fprintf(stderr, "usage: delete-candidate --permanently|--trash FOLDER [SIZE]\n");
        return 2;
    }
    CleanupCandidate candidate;
    candidate.path = candidate.id = normalizedPath(argv[2]);
    candidate.key = "node_modules";
    candidate.size = argc == 4 ? std::atoll(argv[3]) : 0;
    const CancellationToken token;
    const auto result = Tarnwicker::deleteCandidates(
        {candidate}, mode == "--trash" ? CleanupAction::moveToTrash : CleanupAction::deletePermanently, {}, {}, {},
        token);
    for (const auto &failure : result.failures) {
        std::fprintf(stderr, "%s: %s\n", failure.path.c_str(), failure.message.c_str());
    }
    return result.deleted.size() == 1 ? 0 : 1;
}
