#include "cli/AnalyzeCommand.h"
#include "cli/CleanCommand.h"
#include "cli/CliOptions.h"
#include "cli/ScanCommand.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

tarnwick::CancellationToken g_token;

extern "C" void cancelOnInterrupt(int)
{
    // Only the atomic store: the work in progress notices it at its next poll. SA_RESETHAND makes a
    // second Ctrl-C end the process the ordinary way.
    g_token.cancel();
}

void installInterruptHandler()
{
    struct sigaction action {};
    action.sa_handler = cancelOnInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char **argv)
{
    using namespace tarnwick::cli;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    bool help = false;
    const auto options = parseArguments(arguments, error, help);
    if (help) {
        std::fputs(usageText().c_str(), stdout);
        return kExitDone;
    }
    if (!options) {
        std::fprintf(stderr, "tarnwick-cli: %s\n\n%s", error.c_str(), usageText().c_str());
        return kExitUsage;
    }
    installInterruptHandler();
    switch (options->command) {
    case Command::scan:
        return runScan(*options, g_token);
    case Command::clean:
        return runClean(*options, g_token);
    case Command::analyze:
        return runAnalyze(*options, g_token);
    }
    return kExitUsage;
}
