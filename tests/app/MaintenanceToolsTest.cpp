#include "AppTestSupport.h"
#include "FixtureTree.h"
#include "app/InMemoryPreferencesStore.h"
#include "app/MaintenanceRunner.h"
#include "engine/CancellationToken.h"

#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <thread>

namespace tarnwick {
namespace {

using testing::FixtureTree;

// Alive and not a zombie: a zombie has ended and only waits for its parent to notice.
bool isRunning(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText;
    std::string name;
    char state = 0;
    if (!(stat >> pidText >> name >> state)) {
        return false;
    }
    return state != 'Z' && state != 'X';
}

// Shell scripts standing in for brew, docker and the rest, in a private folder put first on PATH so
// that /usr/bin/env finds them before anything installed. PATH is restored afterwards.
class StandInTools {
public:
    StandInTools() : m_bin(m_tree.folder("bin"))
    {
        const char *path = std::getenv("PATH");
        m_savedPath = path ? std::optional<std::string>(path) : std::nullopt;
        ::setenv("PATH", (m_bin + ":" + m_savedPath.value_or("/usr/bin:/bin")).c_str(), 1);
    }
    ~StandInTools()
    {
        if (m_savedPath) {
            ::setenv("PATH", m_savedPath->c_str(), 1);
        } else {
            ::unsetenv("PATH");
        }
    }
    StandInTools(const StandInTools &) = delete;
    StandInTools &operator=(const StandInTools &) = delete;

    void write(const std::string &name, const std::string &body) const
    {
        const std::string file = m_bin + "/" + name;
        std::ofstream(file, std::ios::trunc) << "#!/bin/sh\n" << body << "\n";
        ::chmod(file.c_str(), 0755);
    }
    // A tool that waits until release() before printing `text`.
    void writeBlocking(const std::string &name, const std::string &text) const
    {
        write(name, "while [ ! -e " + testing::shellQuote(path("release")) + " ]; do sleep 0.02; done\necho " +
                        testing::shellQuote(text));
    }
    void release() { m_tree.file("release"); }
    std::string path(const std::string &relative) const { return m_tree.path(relative); }
    bool exists(const std::string &relative) const { return ::access(path(relative).c_str(), F_OK) == 0; }

private:
    FixtureTree m_tree;
    std::string m_bin;
    std::optional<std::string> m_savedPath;
};

TEST(MaintenanceRunner, JoinsTheReadableStreamsOrDescribesTheExit)
{
    struct Case {
        const char *name;
        std::string script;
        std::vector<std::string> arguments;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"stdout only, trimmed", R"(printf ' \n\tWould remove: 3 files\n\n')", {}, "Would remove: 3 files"},
        {"stderr only, whatever the status", "echo 'Error: busy' >&2; exit 1", {}, "Error: busy"},
        {"both: stdout, an empty line, stderr", "echo '  out'; echo 'err  ' >&2", {}, "out\n\nerr"},
        {"inner white space kept", R"(printf 'a\n\n\n  b  \n')", {}, "a\n\n\n  b"},
        {"Unicode spaces trimmed", R"(printf '\342\200\250\302\240caf\303\251\343\200\200\n')", {}, "caf\u00e9"},
        {"nothing, status 0", "exit 0", {}, "Done."},
        {"nothing, status 3", "exit 3", {}, "brew exited with status 3."},
        {"blank output, status 3", R"(printf ' \n\n'; exit 3)", {}, "brew exited with status 3."},
        {"stdout not UTF-8 counts as empty", R"(printf 'ok\377\n'; echo warning >&2)", {}, "warning"},
        {"neither stream UTF-8", R"(printf '\300\200'; printf '\355\240\200' >&2)", {}, "Done."},
        {"arguments reach the tool untouched", R"(printf '%s|' "$@")", {"a b", "$HOME", "*", ""}, "a b|$HOME|*||"},
    };
    StandInTools tools;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        tools.write("brew", c.script);
        EXPECT_EQ(MaintenanceRunner::run("brew", c.arguments), c.expected);
    }
}

TEST(MaintenanceRunner, ReadsBothStreamsWhileTheToolRuns)
{
    // Far more than a pipe holds, on both streams, standard error first: a runner that read the
    // streams one after the other, or only after the exit, would wait forever.
    constexpr std::size_t kBytes = 5 * 1024 * 1024;
    StandInTools tools;
    tools.write("docker", "head -c " + std::to_string(kBytes) + " /dev/zero | tr '\\0' e >&2\n" +
                              "head -c " + std::to_string(kBytes) + " /dev/zero | tr '\\0' o");
    std::string output;
    QThreadPool pool;
    pool.start([&output] { output = MaintenanceRunner::run("docker", {"system", "df", "-v"}); });
    pool.waitForDone();
    ASSERT_EQ(output.size(), 2 * kBytes + 2);
    EXPECT_TRUE(output == std::string(kBytes, 'o') + "\n\n" + std::string(kBytes, 'e'));
}

TEST(MaintenanceRunner, ReportsAMissingToolOrLauncher)
{
    StandInTools tools;
    const std::string missing = MaintenanceRunner::run("tarnwick-no-such-tool", {"list"});
    EXPECT_NE(missing.find("tarnwick-no-such-tool"), std::string::npos) << missing;
    EXPECT_NE(missing.find("No such file or directory"), std::string::npos) << missing;

    const std::string unlaunchable = MaintenanceRunner::runThrough(tools.path("no-env"), "brew", {"cleanup"});
    EXPECT_TRUE(unlaunchable.starts_with("Could not run brew: ")) << unlaunchable;
    EXPECT_GT(unlaunchable.size(), std::string("Could not run brew: ").size());
}

class MaintenanceTools : public ::testing::Test {
protected:
    std::unique_ptr<AppState> make()
    {
        store.set("automaticUpdateChecksEnabled", false);
        return std::make_unique<AppState>(store, testing::isolatedEnvironment(home.root()));
    }
    static bool waitUntilIdle(const AppState &state)
    {
        return QTest::qWaitFor([&state] { return !state.isRunningMaintenance(); }, 30000);
    }

    FixtureTree home;
    InMemoryPreferencesStore store;
    StandInTools tools;
};

TEST_F(MaintenanceTools, EachOperationRunsItsToolAndReportsIt)
{
    struct Case {
        void (AppState::*operation)();
        std::string title;
        std::string command;
        std::string runningStatus;
        std::optional<std::string> actionTitle;
        std::optional<MaintenanceAction> action;
    };
    const std::vector<Case> cases = {
        {&AppState::previewHomebrewCleanup, "Homebrew Cleanup Preview", "brew cleanup --dry-run",
         "Running homebrew cleanup preview...", "Run Homebrew Cleanup", MaintenanceAction::runHomebrewCleanup},
        {&AppState::runHomebrewCleanup, "Homebrew Cleanup", "brew cleanup", "Running homebrew cleanup...",
         std::nullopt, std::nullopt},
        {&AppState::previewUnavailableSimulators, "Unavailable Simulators", "xcrun simctl list devices unavailable",
         "Running unavailable simulators...", "Delete Unavailable Simulators",
         MaintenanceAction::deleteUnavailableSimulators},
        {&AppState::deleteUnavailableSimulators, "Delete Unavailable Simulators", "xcrun simctl delete unavailable",
         "Running delete unavailable simulators...", std::nullopt, std::nullopt},
        {&AppState::previewDockerUsage, "Docker Disk Usage", "docker system df -v", "Running docker disk usage...",
         std::nullopt, std::nullopt},
        {&AppState::previewColimaUsage, "Colima Profiles", "colima list", "Running colima profiles...",
         std::nullopt, std::nullopt},
    };
    for (const char *tool : {"brew", "xcrun", "docker", "colima"}) {
        tools.write(tool, std::string("echo ") + tool + " \"$@\"");
    }
    auto state = make();
    std::set<std::string> ids;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        ((*state).*c.operation)();
        EXPECT_TRUE(state->isRunningMaintenance());
        EXPECT_EQ(state->statusMessage(), c.runningStatus);
        ASSERT_TRUE(waitUntilIdle(*state));
        ASSERT_TRUE(state->maintenanceReport());
        const auto &report = *state->maintenanceReport();
        EXPECT_EQ(report.title, c.title);
        EXPECT_EQ(report.command, c.command);
        EXPECT_EQ(report.output, c.command) << "the stand-in echoes its name and arguments";
        EXPECT_EQ(report.primaryActionTitle, c.actionTitle);
        EXPECT_EQ(report.primaryAction, c.action);
        EXPECT_EQ(state->statusMessage(), c.title + " finished.");
        ids.insert(report.id);
    }
    EXPECT_EQ(ids.size(), cases.size()) << "every report has a fresh id";
}

TEST_F(MaintenanceTools, ThePreviewsFollowUpDismissesItAndRunsTheCleanup)
{
    tools.write("brew", R"([ "$2" = --dry-run ] && echo 'Would remove: 12 files' || echo 'Removing: 12 files')");
    auto state = make();
    state->previewHomebrewCleanup();
    ASSERT_TRUE(waitUntilIdle(*state));
    const auto preview = state->maintenanceReport().value();
    EXPECT_EQ(preview.output, "Would remove: 12 files");

    state->runMaintenanceAction(preview.primaryAction.value());
    EXPECT_FALSE(state->maintenanceReport()) << "the sheet closes before the run starts";
    EXPECT_TRUE(state->isRunningMaintenance());
    ASSERT_TRUE(waitUntilIdle(*state));
    const auto cleanup = state->maintenanceReport().value();
    EXPECT_EQ(cleanup.title, "Homebrew Cleanup");
    EXPECT_EQ(cleanup.output, "Removing: 12 files");
    EXPECT_FALSE(cleanup.primaryActionTitle);
    EXPECT_FALSE(cleanup.primaryAction);
}

TEST_F(MaintenanceTools, ASecondRequestWhileAToolRunsDoesNothing)
{
    tools.writeBlocking("brew", "Would remove: 1 file");
    tools.write("docker", "touch " + testing::shellQuote(tools.path("docker-ran")));
    tools.write("xcrun", "touch " + testing::shellQuote(tools.path("xcrun-ran")));
    auto state = make();
    state->previewHomebrewCleanup();

    QSignalSpy statusChanges(state.get(), &AppState::statusMessageChanged);
    QSignalSpy reportChanges(state.get(), &AppState::maintenanceReportChanged);
    QSignalSpy runningChanges(state.get(), &AppState::isRunningMaintenanceChanged);
    state->previewDockerUsage();
    state->runMaintenanceAction(MaintenanceAction::deleteUnavailableSimulators);
    EXPECT_EQ(statusChanges.count(), 0);
    EXPECT_EQ(reportChanges.count(), 0);
    EXPECT_EQ(runningChanges.count(), 0);
    EXPECT_EQ(state->statusMessage(), "Running homebrew cleanup preview...");

    tools.release();
    ASSERT_TRUE(waitUntilIdle(*state));
    EXPECT_EQ(state->maintenanceReport()->title, "Homebrew Cleanup Preview");
    EXPECT_EQ(state->maintenanceReport()->output, "Would remove: 1 file");
    EXPECT_FALSE(tools.exists("docker-ran"));
    EXPECT_FALSE(tools.exists("xcrun-ran"));

    state->previewDockerUsage();
    ASSERT_TRUE(waitUntilIdle(*state));
    EXPECT_TRUE(tools.exists("docker-ran")) << "the next request runs once the first is done";
}

TEST_F(MaintenanceTools, QuittingDuringAToolRunTerminatesTheToolAndWhatItStarted)
{
    // The tool starts a child of its own and waits for it; both would run for ten minutes.
    tools.write("colima", "sleep 600 &\necho \"$$ $!\" > " + testing::shellQuote(tools.path("pids.new")) + "\nmv " +
                              testing::shellQuote(tools.path("pids.new")) + " " + testing::shellQuote(tools.path("pids")) +
                              "\nwait");
    auto state = make();
    state->previewColimaUsage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tools.exists("pids"); }, 30000));
    pid_t tool = 0;
    pid_t child = 0;
    std::ifstream(tools.path("pids")) >> tool >> child;
    ASSERT_GT(tool, 0);
    ASSERT_GT(child, 0);

    state.reset();
    EXPECT_FALSE(isRunning(tool)) << "the tool is gone when the state is";
    // The child was signalled with the tool; it is not this process's to wait for.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !isRunning(child); }, 30000));
}

TEST(MaintenanceRunner, AToolThatIgnoresTheRequestToStopIsKilled)
{
    StandInTools tools;
    // The tool says it has set its trap through a FIFO: the stopper's read returns exactly then.
    const std::string started = tools.path("started");
    ASSERT_EQ(::mkfifo(started.c_str(), 0600), 0);
    tools.write("brew", "trap '' TERM\necho started > " + testing::shellQuote(started) + "\nwhile :; do sleep 1; done");
    CancellationToken stop;
    std::thread stopper([&] {
        std::string word;
        std::ifstream(started) >> word;
        stop.cancel();
    });
    const std::string output = MaintenanceRunner::run("brew", {"cleanup"}, stop, std::chrono::milliseconds(100));
    // A tool that never started leaves the stopper waiting for a writer: be that writer, so the
    // test fails on its expectation instead of hanging.
    const int writer = ::open(started.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0) {
        ::close(writer);
    }
    stopper.join();
    EXPECT_EQ(output, "brew was stopped.");
}

}  // namespace
}  // namespace tarnwick
