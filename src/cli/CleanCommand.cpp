#include "cli/CleanCommand.h"

#include "cli/CandidateOutput.h"
#include "cli/DeleteResultOutput.h"
#include "cli/ProgressLine.h"
#include "cli/ScanCommand.h"
#include "cli/StandardOutput.h"
#include "cli/TerminalStyle.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "engine/Tarnwicker.h"
#include "platform/Trash.h"

#include <cstdio>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace tarnwick::cli {

namespace {

enum class Answer { yes, no, interrupted };

// Reads one line from standard input. A Ctrl-C shows up as the cancelled token: the wait polls it,
// because a signal that lands just before a blocking read would otherwise leave the read waiting
// for a line that never comes.
Answer askOnTerminal(const std::string &question, const CancellationToken &token)
{
    writeOutput(question + " [y/N] ", stderr);
    while (!token.isCancelled()) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (::poll(&input, 1, 100) > 0) {
            break;
        }
    }
    char line[64];
    const bool read = !token.isCancelled() && std::fgets(line, sizeof line, stdin) != nullptr;
    if (token.isCancelled()) {
        writeOutput("\n", stderr);
        return Answer::interrupted;
    }
    if (!read) {
        writeOutput("\n", stderr);
        return Answer::no;
    }
    const std::string answer(line);
    return answer == "y\n" || answer == "Y\n" || answer == "yes\n" || answer == "YES\n" || answer == "Yes\n"
               ? Answer::yes
               : Answer::no;
}

} // namespace

int runClean(const CliOptions &options, const CancellationToken &token)
{
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
        switch (askOnTerminal(question, token)) {
        case Answer::yes:
            break;
        case Answer::no:
            writeOutput("Nothing was cleaned.\n", stderr);
            return kExitDone;
        case Answer::interrupted:
            std::fprintf(stderr, "tarnwick-cli: cancelled; nothing was cleaned\n");
            return kExitCancelled;
        }
    }

    ProgressLine line(options.quiet);
    const DeleteResult result = Tarnwicker::deleteCandidates(
        candidates, action, {}, {},
        [&](const DeleteProgress &progress) { line.show(progress.message, progress.currentPath); }, token);
    line.clear();

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
        writeOutput(deleteResultJson(result), stdout);
    } else {
        const TerminalStyle style = TerminalStyle::forStream(options.color, STDOUT_FILENO);
        writeOutput(style.total(cleanupSummary(result, action)) + "\n", stdout);
    }
    if (result.cancelled) {
        return kExitCancelled;
    }
    return result.failures.empty() ? kExitDone : kExitSomeFailed;
}

} // namespace tarnwick::cli
