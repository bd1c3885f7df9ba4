#include "cli/CleanCommand.h"

#include "cli/CandidateOutput.h"
#include "cli/ConfirmationPrompt.h"
#include "cli/DeleteResultOutput.h"
#include "cli/GuidedCleanCommand.h"
#include "cli/ProgressLine.h"
#include "cli/ScanCommand.h"
#include "cli/SpaceReport.h"
#include "cli/StandardOutput.h"
#include "cli/TerminalStyle.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "engine/CleaningLog.h"
#include "engine/Tarnwicker.h"
#include "platform/Trash.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace tarnwick::cli {


int runClean(const CliOptions &options, const CancellationToken &token)
{
    if (options.guided) {
        return runGuidedClean(options, token);
    }
    if (options.keepFreeBytes) {
        std::fprintf(stderr, "tarnwick-cli: --keep-free needs --guided\n");
        return kExitUsage;
    }
    if (options.roots.empty()) {
        std::fprintf(stderr, "tarnwick-cli: no folder to scan given\nRun 'tarnwick-cli clean --help' for usage.\n");
        return kExitUsage;
    }
    const CleanupAction action = options.permanently ? CleanupAction::deletePermanently : CleanupAction::moveToTrash;
    const ScanOutcome outcome = scanRoots(options, token);
    if (outcome.noUsableRoot) {
        std::fprintf(stderr, "tarnwick-cli: no folder left to scan\n");
        return kExitUsage;
    }
    if (outcome.cancelled) {
        std::fprintf(stderr, "tarnwick-cli: scan cancelled; nothing was cleaned\n");
        return kExitCancelled;
    }
    const std::vector<CleanupCandidate> &candidates = outcome.candidates;
    if (candidates.empty()) {
        writeOutput(options.json ? deleteResultJson({}) : "No cleanup folders found.\n", stdout);
        return kExitDone;
    }
    if (options.dryRun) {
        writeOutput(options.json ? candidatesJson(candidates)
                                 : candidatesTable(candidates, TerminalStyle::forStream(options.color, STDOUT_FILENO)) +
                                       "Dry run: nothing was cleaned.\n");
        return kExitDone;
    }
    // With --json, standard output carries only the result; the table goes where the question goes.
    if (!options.json || !options.yes) {
        std::FILE *tableStream = options.json ? stderr : stdout;
        const std::string table =
            candidatesTable(candidates, TerminalStyle::forStream(options.color, ::fileno(tableStream)));
        if (!writeOutput(table, tableStream) && !options.yes) {
            // Nobody confirms a list they could not see.
            std::fprintf(stderr, "tarnwick-cli: not cleaning: the list of folders could not be shown\n");
            return kExitSomeFailed;
        }
    }

    if (!options.yes && ::isatty(STDIN_FILENO) != 1) {
        std::fprintf(stderr, "tarnwick-cli: not cleaning: standard input is not a terminal, so nobody can "
                             "confirm; add --yes to clean without asking\n");
        return kExitUsage;
    }
    if (!options.yes) {
        const std::string amount =
            countPhrase(static_cast<int64_t>(candidates.size())) + " (" + formatByteCount(totalSize(candidates)) + ")";
        const std::string question = action == CleanupAction::moveToTrash ? "Move " + amount + " to the Trash?"
                                                                          : "Permanently delete " + amount + "?";
        if (const auto status = refusedCleaning(question, token)) {
            return *status;
        }
    }

    SpaceReport space = SpaceReport::before();
    std::map<std::string, std::string> trashedTo;
    ProgressLine line(options.quiet);
    const DeleteResult result = Tarnwicker::deleteCandidates(
        candidates, action, {}, {},
        [&](const DeleteProgress &progress) {
            line.show(progress.message, progress.currentPath);
            CleaningLog::noteTrashMove(progress, trashedTo);
        },
        token);
    line.clear();
    // The moves are journaled like the guided ones, so `restore` can put them back.
    const Timestamp now = std::chrono::system_clock::now();
    CleaningLog::record(CleaningLog::recordsOfMoves(result.deleted, trashedTo, now), now);
    space.finish(result, trashedTo);

    bool trashUnusable = false;
    for (const auto &failure : result.failures) {
        std::fprintf(stderr, "tarnwick-cli: %s: %s\n", displayPath(failure.path).c_str(),
                     displayPath(failure.message).c_str());
        trashUnusable = trashUnusable || failure.message.starts_with(kNoUsableTrash);
    }
    if (trashUnusable) {
        std::fprintf(stderr, "tarnwick-cli: where the Trash cannot be used, --permanently deletes instead\n");
    }
    if (options.json) {
        nlohmann::ordered_json extra;
        space.addTo(extra);
        writeOutput(deleteResultJson(result, extra), stdout);
    } else {
        const TerminalStyle style = TerminalStyle::forStream(options.color, STDOUT_FILENO);
        writeOutput(style.total(cleanupSummary(result, action)) + "\n" + space.text() + "\n", stdout);
    }
    if (result.cancelled) {
        return kExitCancelled;
    }
    return result.failures.empty() ? kExitDone : kExitSomeFailed;
}

} // namespace tarnwick::cli
