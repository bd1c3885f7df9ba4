// The application state under a scan that yields many candidates: how much of the main thread the
// live results cost, and how long one read of the sorted review list takes.
//
//   appstate-scan-bench ROOT
//
// ROOT is a generated tree (see run). Prints the main thread's CPU time between the start of the
// scan and its completion (the main thread does nothing else meanwhile), the wall time of the
// scan, and the time of the first read of the review list after switching the sort to path.

#include "app/AppState.h"
#include "app/InMemoryPreferencesStore.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <time.h>

#include <chrono>
#include <cstdio>

namespace {

double threadCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: appstate-scan-bench ROOT\n");
        return 2;
    }
    tarnwick::InMemoryPreferencesStore store;
    store.set("automaticUpdateChecksEnabled", false);
    store.set("roots", std::vector<std::string>{argv[1]});
    tarnwick::AppEnvironment environment;
    environment.version = "0";
    environment.homeFolder = argv[1];
    tarnwick::AppState state(store, environment);

    QEventLoop loop;
    QObject::connect(&state, &tarnwick::AppState::isScanningChanged, &loop, [&] {
        if (!state.isScanning()) {
            loop.quit();
        }
    });
    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = threadCpuSeconds();
    state.scan();
    loop.exec();
    const double mainThreadSeconds = threadCpuSeconds() - cpuStart;
    const double wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

    state.setSortMode(tarnwick::CandidateSortMode::path);
    const auto readStart = std::chrono::steady_clock::now();
    const std::size_t shown = state.displayedCandidates().size();
    const double readMilliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - readStart).count();
    const auto againStart = std::chrono::steady_clock::now();
    (void)state.displayedCandidates();
    const double againMilliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - againStart).count();

    std::printf("candidates                         %zu\n", state.candidates().size());
    std::printf("scan wall time                     %.2f s\n", wallSeconds);
    std::printf("main-thread CPU during the scan    %.2f s   (goal: under 2 s)\n", mainThreadSeconds);
    std::printf("first read, sorted by path         %.1f ms  (goal: under 150 ms, %zu rows)\n", readMilliseconds,
                shown);
    std::printf("repeated read                      %.3f ms\n", againMilliseconds);
    return 0;
}
