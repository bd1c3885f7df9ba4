#pragma once

#include "ChildProcess.h"

#include <functional>
#include <map>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tarnwick::testing {

inline const std::string kCli = TARNWICK_CLI_PATH;

// Runs tarnwick-cli with the arguments, without a terminal.
inline ProcessResult cli(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), kCli);
    return runProcess(std::move(arguments));
}

inline bool exists(const std::string &path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

struct TerminalRun {
    int status = -1;
    std::string screen;
};

// How the terminal of runOnTerminal looks to the program: its width, and environment variables to
// set (a value of nullopt removes the variable).
struct TerminalSetup {
    unsigned short columns = 80;
    std::map<std::string, std::optional<std::string>> environment;
};

// Runs tarnwick-cli on a pseudo-terminal, as a person would, and types `reply` once it asks a
// "[y/N]" question; `atQuestion` runs first, while the program waits for the answer.
inline TerminalRun runOnTerminal(std::vector<std::string> arguments, const std::string &reply,
                                 const std::function<void()> &atQuestion = {}, const TerminalSetup &setup = {})
{
    arguments.insert(arguments.begin(), kCli);
    // Everything the child needs is made before the fork: it only calls exec.
    std::vector<std::string> environment;
    for (char **entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        if (!setup.environment.contains(text.substr(0, text.find('=')))) {
            environment.push_back(text);
        }
    }
    for (const auto &[name, value] : setup.environment) {
        if (value) {
            environment.push_back(name + "=" + *value);
        }
    }
    std::vector<char *> argv;
    for (auto &argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (auto &entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = setup.columns;

    TerminalRun run;
    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, &size);
    if (child == 0) {
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (child < 0) {
        return run;
    }
    bool replied = false;
    char buffer[4096];
    while (true) {
        pollfd fd{master, POLLIN, 0};
        if (::poll(&fd, 1, 20000) <= 0) {
            ::kill(child, SIGKILL);
            break;
        }
        const ssize_t count = ::read(master, buffer, sizeof buffer);
        if (count <= 0) {
            break; // EIO once the child has closed the terminal
        }
        run.screen.append(buffer, static_cast<std::size_t>(count));
        if (!replied && run.screen.find("[y/N] ") != std::string::npos) {
            replied = true;
            if (atQuestion) {
                atQuestion();
            }
            (void)!::write(master, reply.data(), reply.size());
        }
    }
    ::close(master);
    int raw = 0;
    ::waitpid(child, &raw, 0);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return run;
}

} // namespace tarnwick::testing
