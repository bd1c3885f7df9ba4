#include "cli/ConfirmationPrompt.h"

#include "cli/ScanCommand.h"
#include "cli/StandardOutput.h"

#include <poll.h>
#include <unistd.h>

#include <cstdio>

namespace tarnwick::cli {

// A Ctrl-C shows up as the cancelled token: the wait polls it, because a signal that lands just
// before a blocking read would otherwise leave the read waiting for a line that never comes.
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


std::optional<int> refusedCleaning(const std::string &question, const CancellationToken &token)
{
    switch (askOnTerminal(question, token)) {
    case Answer::yes:
        return std::nullopt;
    case Answer::no:
        writeOutput("Nothing was cleaned.\n", stderr);
        return kExitDone;
    case Answer::interrupted:
        std::fprintf(stderr, "tarnwick-cli: cancelled; nothing was cleaned\n");
        return kExitCancelled;
    }
    return kExitCancelled;
}

}  // namespace tarnwick::cli
