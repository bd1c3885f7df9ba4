#include "cli/AnalyzeCommand.h"
#include "cli/CleanCommand.h"
#include "cli/CommandLine.h"
#include "cli/RestoreCommand.h"
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
    using Outcome = ParsedCommandLine::Outcome;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedCommandLine parsed = CommandLine().parse(arguments);
    switch (parsed.outcome) {
    case Outcome::help:
    case Outcome::version:
        writeOutput(parsed.text);
        return finishOutput(kExitDone);
    case Outcome::usageError: {
        const std::string command = parsed.command.empty() ? "" : parsed.command + " ";
        std::fprintf(stderr, "tarnwick-cli: %s\nRun 'tarnwick-cli %s--help' for usage.\n", parsed.text.c_str(),
                     command.c_str());
        return finishOutput(kExitUsage);
    }
    case Outcome::run:
        break;
    }
    installInterruptHandler();
    int status = kExitUsage;
    const CliOptions &options = parsed.options;
    switch (options.command) {
    case Command::scan:
        status = runScan(options, g_token);
        break;
    case Command::clean:
        status = runClean(options, g_token);
        break;
    case Command::analyze:
        status = runAnalyze(options, g_token);
        break;
    case Command::restore:
        status = runRestore(options, g_token);
        break;
    }
    return finishOutput(status);
}
