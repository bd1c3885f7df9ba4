// The review pane under a scan that yields many candidates: how long the main thread is ever kept
// from its event loop while the rows arrive live, when the scan completes, and after each change of
// order, filter, search or selection, all with the real window on the offscreen platform; then the
// same folders through the guided scan of the Super Clean window.
//
//   review-pane-bench ROOT
//
// ROOT is a generated tree (see run). A 5 ms heartbeat timer records the longest gap between two
// of its ticks; a gap is the longest stretch in which the window could not have answered the user.

#include "app/AppState.h"
#include "app/DesktopShell.h"
#include "app/InMemoryPreferencesStore.h"
#include "app/SuperCleanCoordinator.h"
#include "ui/CandidateList.h"
#include "ui/CandidateTableModel.h"
#include "ui/MainWindow.h"
#include "ui/ReviewView.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace {

class NoDesktop : public tarnwick::DesktopShell {
public:
    void openURL(const QUrl &) override {}
    void revealInFileManager(const std::string &) override {}
    void copyToClipboard(const std::string &) override {}
    std::vector<std::string> chooseFolders() override { return {}; }
    void openTrash() override {}
};

double mainThreadCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Ticks every 5 ms and remembers the longest time between two ticks since the last reset, and how
// much of it the main thread spent on the processor: a gap spent mostly off it was the scheduler's
// (the scan's workers had both cores), one spent on it was the application's own work.
class Heartbeat {
public:
    Heartbeat()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 gap = m_sinceTick.restart();
            const double cpu = mainThreadCpuSeconds();
            if (gap > m_longest) {
                m_longest = gap;
                m_longestOnCpu = static_cast<qint64>((cpu - m_cpuAtTick) * 1000);
            }
            m_cpuAtTick = cpu;
        });
        m_timer.start();
        reset();
    }
    void reset()
    {
        m_longest = 0;
        m_longestOnCpu = 0;
        m_sinceTick.restart();
        m_cpuAtTick = mainThreadCpuSeconds();
    }
    // Starts a new measure in the middle of a stall, from a handler that runs inside it: the gap in
    // progress counts from its own beginning, so what ran before the handler is not lost.
    void resetWithinGap()
    {
        m_longest = 0;
        m_longestOnCpu = 0;
    }
    qint64 longest() const { return m_longest; }
    qint64 longestOnCpu() const { return m_longestOnCpu; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    double m_cpuAtTick = 0;
    qint64 m_longest = 0;
    qint64 m_longestOnCpu = 0;
};

// Runs the event loop for a while, so that deferred updates and repaints happen.
void runFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: review-pane-bench ROOT\n");
        return 2;
    }
    tarnwick::ui::applyColorScheme(application, tarnwick::ui::ColorScheme::light);
    tarnwick::InMemoryPreferencesStore store;
    store.set("automaticUpdateChecksEnabled", false);
    store.set("hasSeenOnboarding", true);
    store.set("roots", std::vector<std::string>{argv[1]});
    tarnwick::AppEnvironment environment;
    environment.version = "0";
    environment.homeFolder = argv[1];
    NoDesktop desktop;
    environment.desktopShell = &desktop;
    tarnwick::AppState state(store, environment);
    tarnwick::MainWindow window(state, desktop);
    window.resize(1240, 800);
    window.show();
    runFor(100);

    tarnwick::CandidateTableModel &model = *window.review()->list()->candidateModel();
    int inserts = 0;
    int resets = 0;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&] { ++inserts; });
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });

    Heartbeat heartbeat;
    qint64 liveLongest = 0;
    qint64 liveLongestOnCpu = 0;
    int rowsAtCompletion = 0;
    int insertsDuringScan = 0;
    int resetsDuringScan = 0;
    QEventLoop scanning;
    QObject::connect(&state, &tarnwick::AppState::isScanningChanged, &scanning, [&] {
        if (!state.isScanning()) {
            // The gaps ended so far belong to the live rows; the one in progress, which holds the
            // state's completion, is the first of the completion's.
            liveLongest = heartbeat.longest();
            liveLongestOnCpu = heartbeat.longestOnCpu();
            rowsAtCompletion = model.rowCount();
            insertsDuringScan = inserts;
            resetsDuringScan = resets;
            heartbeat.resetWithinGap();
            scanning.quit();
        }
    });
    // The completion's own part: from the end of the scan to its status line, all in one handler.
    QElapsedTimer completion;
    qint64 completionInState = 0;
    QObject::connect(&state, &tarnwick::AppState::isScanningChanged, [&] {
        if (!state.isScanning()) {
            completion.start();
        }
    });
    QObject::connect(&state, &tarnwick::AppState::statusMessageChanged, [&] {
        if (completion.isValid() && completionInState == 0 && state.statusMessage().starts_with("Found")) {
            completionInState = completion.elapsed();
        }
    });
    QElapsedTimer scanTime;
    scanTime.start();
    state.scan();
    scanning.exec();
    const qint64 scanMilliseconds = scanTime.elapsed();
    runFor(400);
    const qint64 completionLongest = heartbeat.longest();

    std::printf("candidates                               %zu\n", state.candidates().size());
    std::printf("scan wall time                           %lld ms\n", static_cast<long long>(scanMilliseconds));
    std::printf("rows shown live before completion        %d (%d insertions, %d resets during the scan)\n",
                rowsAtCompletion, insertsDuringScan, resetsDuringScan);
    std::printf("longest main-thread stall, live rows     %lld ms  (%lld ms of it on the processor)\n",
                static_cast<long long>(liveLongest), static_cast<long long>(liveLongestOnCpu));
    std::printf("longest stall, completion (sorted list)  %lld ms  (%lld ms in the application state's completion)\n",
                static_cast<long long>(completionLongest), static_cast<long long>(completionInState));

    // Each change is made from the event loop, as a click would be, then the loop runs on. The
    // application state's own part is timed apart: the change with the first read of the list and
    // of the selection's totals, which the views then find cached.
    std::printf("\n%-42s%s\n", "after a change", "longest stall (of which the application state)");
    const auto measure = [&](const char *label, const std::function<void()> &change) {
        heartbeat.reset();
        qint64 stateMilliseconds = 0;
        QTimer::singleShot(0, [&] {
            QElapsedTimer inState;
            inState.start();
            change();
            (void)state.displayedRows();
            (void)state.selectionTotals();
            stateMilliseconds = inState.elapsed();
        });
        runFor(400);
        std::printf("  %-40s%4lld ms  (%lld ms)  %d rows\n", label, static_cast<long long>(heartbeat.longest()),
                    static_cast<long long>(stateMilliseconds), model.rowCount());
    };
    using tarnwick::CandidateSortMode;
    measure("sort Smallest First", [&] { state.setSortMode(CandidateSortMode::smallest); });
    measure("sort Type", [&] { state.setSortMode(CandidateSortMode::target); });
    measure("sort Oldest First", [&] { state.setSortMode(CandidateSortMode::lastModified); });
    measure("sort Path", [&] { state.setSortMode(CandidateSortMode::path); });
    measure("sort Largest First", [&] { state.setSortMode(CandidateSortMode::largest); });
    measure("search \"m7\"", [&] { state.setSearchText("m7"); });
    measure("search cleared", [&] { state.setSearchText(""); });
    measure("filter Not Selected", [&] { state.setReviewFilter(tarnwick::ReviewFilter::unselected); });
    measure("filter All", [&] { state.setReviewFilter(tarnwick::ReviewFilter::all); });
    measure("clear selection", [&] { state.clearSelection(); });
    measure("select all", [&] { state.selectAllCandidates(); });
    measure("toggle one row", [&] { state.toggleCandidateSelection(state.displayedRows()[5]->id); });

    // The guided scan of the same folders in the Super Clean window: every found folder judged on
    // the scan's thread and listed live. The main thread's CPU time while the list fills is all it
    // spends on the live items (and the window's repaints).
    state.startSuperClean();
    runFor(200);
    tarnwick::SuperCleanCoordinator &coordinator = state.superCleanCoordinator();
    QEventLoop guided;
    qint64 guidedLiveLongest = 0;
    double guidedLiveCpu = 0;
    std::size_t itemsAtCompletion = 0;
    QElapsedTimer guidedCompletion;
    qint64 guidedAnalysis = 0;
    const double guidedStart = mainThreadCpuSeconds();
    QObject::connect(&coordinator, &tarnwick::SuperCleanCoordinator::phaseChanged, &guided, [&] {
        if (coordinator.phase() == tarnwick::SuperCleanPhase::analyzing) {
            guidedLiveCpu = mainThreadCpuSeconds() - guidedStart;
            guidedLiveLongest = heartbeat.longest();
            itemsAtCompletion = coordinator.itemCount();
            guidedCompletion.start();
            heartbeat.resetWithinGap();
        } else if (coordinator.phase() == tarnwick::SuperCleanPhase::reviewing) {
            // Wall time, not a stall: the items are put in order off the main thread.
            guidedAnalysis = guidedCompletion.elapsed();
            guided.quit();
        }
    });
    QElapsedTimer guidedTime;
    guidedTime.start();
    heartbeat.reset();
    coordinator.startScan();
    guided.exec();
    const qint64 guidedMilliseconds = guidedTime.elapsed();
    runFor(400);
    std::printf("\nguided scan (Super Clean window)\n");
    std::printf("  items                                  %zu (%zu live before completion)\n",
                coordinator.items().size(), itemsAtCompletion);
    std::printf("  scan wall time                         %lld ms\n", static_cast<long long>(guidedMilliseconds));
    std::printf("  main-thread CPU while the list fills   %.0f ms\n", guidedLiveCpu * 1000);
    std::printf("  longest main-thread stall, live items  %lld ms\n", static_cast<long long>(guidedLiveLongest));
    std::printf("  longest stall, completion              %lld ms  (analysis to review order %lld ms)\n",
                static_cast<long long>(heartbeat.longest()), static_cast<long long>(guidedAnalysis));
    return 0;
}
