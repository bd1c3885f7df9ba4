// Times the review list of the application state on a real scan of many candidates: the first read
// of the displayed rows after each kind of change, per sort mode, with a search and with a filter.
// For comparison it also times a plain stable sort that collates per comparison.
//
//   review-list ROOT [CANDIDATES=100000] [READS=7]
//
// ROOT is generated once (ROOT.done marks it finished): CANDIDATES project folders, each with one
// __pycache__ holding a sparse file, so sizes vary (with ties) at no disk cost; names mix case,
// digits, separators and accents, and modification dates vary, so every order has real work.

#include "app/AppState.h"
#include "app/CandidateOrdering.h"
#include "app/InMemoryPreferencesStore.h"

#include <QCoreApplication>
#include <algorithm>
#include <ctime>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsOf(const std::function<void()> &work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void generate(const std::string &root, long count)
{
    const char *names[] = {"app", "App-", "service_", "Tool ", "café", "Lib.v", "web", "API"};
    ::mkdir(root.c_str(), 0755);
    for (long i = 0; i < count; ++i) {
        const std::string group = root + "/group-" + std::to_string(i / 1000);
        const std::string project = group + "/" + names[i % 8] + std::to_string(i * 7 % 1000);
        const std::string cache = project + "/__pycache__";
        ::mkdir(group.c_str(), 0755);
        ::mkdir(project.c_str(), 0755);
        ::mkdir(cache.c_str(), 0755);
        const int fd = ::open((cache + "/m.pyc").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            (void)!::ftruncate(fd, (i * 7919 % 5000) * 1000);  // 5,000 sizes: ties on every one
            ::close(fd);
        }
        const struct timespec times[2] = {{1'600'000'000L + i * 97 % 20000 * 3600, 0},
                                          {1'600'000'000L + i * 97 % 20000 * 3600, 0}};
        ::utimensat(AT_FDCWD, cache.c_str(), times, 0);
    }
}

double processCpuMilliseconds()
{
    struct timespec now {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Each read follows a change that invalidates the list without changing it (a search of only
// spaces is no search), so every read is a full recomputation. Prints the median wall time with
// its range, and the median processor time of all threads, which a busy machine disturbs less.
void timeReads(const char *what, tarnwick::AppState &state, int reads, bool copy = false)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    std::size_t shown = 0;
    for (int i = 0; i < reads; ++i) {
        state.setSearchText(state.searchText() + " ");
        const double cpuStart = processCpuMilliseconds();
        wall.push_back(millisecondsOf(
            [&] { shown = copy ? state.displayedCandidates().size() : state.displayedRows().size(); }));
        cpu.push_back(processCpuMilliseconds() - cpuStart);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-42s %7.1f ms (%.1f-%.1f)  cpu %7.1f ms  %zu rows\n", what, wall[wall.size() / 2], wall.front(),
                wall.back(), cpu[cpu.size() / 2], shown);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: review-list ROOT [CANDIDATES=100000] [READS=7]\n");
        return 2;
    }
    const std::string root = argv[1];
    const long count = argc > 2 ? std::atol(argv[2]) : 100000;
    const int reads = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;
    if (::access((root + ".done").c_str(), F_OK) != 0) {
        std::fprintf(stderr, "Generating %s ...\n", root.c_str());
        generate(root, count);
        ::close(::open((root + ".done").c_str(), O_WRONLY | O_CREAT, 0644));
    }

    QCoreApplication application(argc, argv);
    tarnwick::InMemoryPreferencesStore store;
    store.set("automaticUpdateChecksEnabled", false);
    store.set("roots", std::vector<std::string>{root});
    store.set("cleanupPreset", std::string("custom"));
    store.set("enabledRuleKeys", std::vector<std::string>{"__pycache__"});
    tarnwick::AppEnvironment environment;
    environment.homeFolder = "/nonexistent";
    tarnwick::AppState state(store, environment);

    const double scanMs = millisecondsOf([&] {
        state.scan();
        while (state.isScanning()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    });
    std::printf("scan of %s: %zu candidates in %.0f ms (%ld cores)\n\n", root.c_str(), state.candidates().size(),
                scanMs, ::sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("first read of the displayed rows after a change, median of %d:\n", reads);

    for (const auto mode : tarnwick::allCandidateSortModes) {
        state.setSortMode(mode);
        timeReads(("sort " + std::string(tarnwick::rawValue(mode))).c_str(), state, reads);
    }
    state.setSortMode(tarnwick::CandidateSortMode::path);
    state.setSearchText("CAFÉ1");
    timeReads("sort path, search \"CAFÉ1\"", state, reads);
    state.setSearchText("app1");
    timeReads("sort path, search \"app1\"", state, reads);
    state.setSearchText("");
    state.selectAllCandidates();
    state.setReviewFilter(tarnwick::ReviewFilter::selected);
    timeReads("sort path, filter selected (all selected)", state, reads);
    timeReads("the same, as a copy (displayedCandidates)", state, reads, true);
    std::size_t shown = 0;
    const double cached = millisecondsOf([&] { shown = state.displayedCandidates().size(); });
    std::printf("%-42s %7.3f ms  %zu rows\n", "a read with nothing changed", cached, shown);

    const auto copyOfList = [&state] {
        return std::vector<tarnwick::CleanupCandidate>(state.candidates().begin(), state.candidates().end());
    };
    auto list = copyOfList();
    const double keyed = millisecondsOf([&] { tarnwick::sortCandidates(list, tarnwick::CandidateSortMode::path); });
    list = copyOfList();
    const double pairwise = millisecondsOf([&] {
        std::stable_sort(list.begin(), list.end(), [](const auto &a, const auto &b) {
            return tarnwick::candidateOrderedBefore(a, b, tarnwick::CandidateSortMode::path);
        });
    });
    std::printf("\nsorting %zu candidates by path: keyed %.1f ms, collating per comparison %.1f ms (%.1fx)\n",
                list.size(), keyed, pairwise, pairwise / keyed);
    return 0;
}
