// Times commands side by side: each run executes every command once, in turn, so both see the same
// cache state and the same machine load. Prints the median wall time of each, the ratio of each to
// the last one (the reference tool) and each command's peak resident memory.
//
//   side-by-side [--cold] RUNS NAME 'COMMAND ARGS...' NAME 'COMMAND ARGS...' ...
//
// --cold (root only) writes back and drops the page, dentry and inode caches before every run of
// every command, so each reads the tree from the disk; there is no warm-up run then.
//
// Commands are split on spaces and run directly (no shell), with standard output discarded, so the
// memory figure is the tool's own.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Command {
    std::string name;
    std::vector<std::string> argv;
    std::vector<double> seconds;
    long peakKiB = 0;
    bool failed = false;
};

std::vector<std::string> split(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

bool dropCaches()
{
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY);
    const bool dropped = fd >= 0 && ::write(fd, "3\n", 2) == 2;
    if (fd >= 0) {
        ::close(fd);
    }
    return dropped;
}

bool runOnce(Command &command, bool cold)
{
    if (cold && !dropCaches()) {
        std::fprintf(stderr, "side-by-side: cannot drop the caches (needs root)\n");
        std::exit(2);
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, STDOUT_FILENO);
        std::vector<char *> argv;
        for (auto &word : command.argv) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    command.seconds.push_back(std::chrono::duration<double>(end - start).count());
    command.peakKiB = std::max(command.peakKiB, usage.ru_maxrss);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char **argv)
{
    const bool cold = argc > 1 && std::string(argv[1]) == "--cold";
    if (cold) {
        --argc;
        ++argv;
    }
    if (argc < 4 || (argc - 2) % 2 != 0) {
        std::fprintf(stderr, "usage: side-by-side [--cold] RUNS NAME 'COMMAND...' [NAME 'COMMAND...']...\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    std::vector<Command> commands;
    for (int i = 2; i + 1 < argc; i += 2) {
        commands.push_back({argv[i], split(argv[i + 1]), {}, 0, false});
    }
    if (!cold) {
        for (auto &command : commands) { // warm the cache; not counted
            command.failed |= !runOnce(command, false);
            command.seconds.clear();
        }
    }
    for (int run = 0; run < runs; ++run) {
        for (auto &command : commands) {
            command.failed |= !runOnce(command, cold);
        }
    }
    const double reference = median(commands.back().seconds);
    std::printf("%-18s %12s %12s %12s %14s\n", "command", "median s", "min s", "ratio", "peak RSS MiB");
    for (const auto &command : commands) {
        const double m = median(command.seconds);
        std::printf("%-18s %12.3f %12.3f %12.2f %14.1f%s\n", command.name.c_str(), m,
                    *std::min_element(command.seconds.begin(), command.seconds.end()), m / reference,
                    command.peakKiB / 1024.0, command.failed ? "  (exited with an error)" : "");
    }
    return 0;
}
