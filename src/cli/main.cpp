#include "cli/AnalyzeCommand.h"
#include "cli/CleanCommand.h"
#include "cli/CliOptions.h"
#include "cli/ScanCommand.h"
#include "cli/StandardOutput.h"

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
    takeOverStandardOutput();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    bool help = false;
    const auto options = parseArguments(arguments, error, help);
    if (help) {
        writeOutput(usageText());
        return finishOutput(kExitDone);
    }
    if (!options) {
        std::fprintf(stderr, "tarnwick-cli: %s\n\n%s", error.c_str(), usageText().c_str());
        return finishOutput(kExitUsage);
    }
    installInterruptHandler();
    int status = kExitUsage;
    switch (options->command) {
    case Command::scan:
        status = runScan(*options, g_token);
        break;
    case Command::clean:
        status = runClean(*options, g_token);
        break;
    case Command::analyze:
        status = runAnalyze(*options, g_token);
        break;
    }
    return finishOutput(status);
}
