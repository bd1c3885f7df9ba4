#pragma once

#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "UiTestSupport.h"
#include "app/InMemoryPreferencesStore.h"
#include "ui/CandidateList.h"
#include "ui/CandidateTableModel.h"
#include "ui/MainWindow.h"
#include "ui/ReviewView.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QEventLoop>
#include <QSemaphore>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace tarnwick::testing {

// Keeps background runs from starting while it is held: the global pool gets one thread, and that
// thread waits for release(). A small scan otherwise may end before the test has looked at the
// window in the middle of it.
class HeldThreadPool {
public:
    HeldThreadPool() : m_threads(QThreadPool::globalInstance()->maxThreadCount())
    {
        QThreadPool::globalInstance()->setMaxThreadCount(1);
        QThreadPool::globalInstance()->start([this] { m_gate.acquire(); });
    }
    HeldThreadPool(const HeldThreadPool &) = delete;
    HeldThreadPool &operator=(const HeldThreadPool &) = delete;
    ~HeldThreadPool()
    {
        release();
        QThreadPool::globalInstance()->setMaxThreadCount(m_threads);
    }

    void release()
    {
        if (!m_released) {
            m_released = true;
            m_gate.release();
        }
    }

private:
    int m_threads;
    QSemaphore m_gate;
    bool m_released = false;
};

// The main window over an application state with a private home, preferences in memory, a fake
// desktop and a real folder tree to scan.
class ReviewWindowFixture : public ::testing::Test {
protected:
    void SetUp() override { store.set("automaticUpdateChecksEnabled", false); }

    void TearDown() override
    {
        window.reset();
        state.reset();
        ui::applyColorScheme(*qApp, ui::ColorScheme::light);
    }

    // Opens the window; a first launch shows the onboarding guide.
    MainWindow &open(bool firstLaunch = false)
    {
        if (!firstLaunch) {
            store.set("hasSeenOnboarding", true);
        }
        window.reset();
        state = std::make_unique<AppState>(store, isolatedEnvironment(home.home(), &shell));
        window = std::make_unique<MainWindow>(*state, shell);
        window->resize(1240, 780);
        window->show();
        settle();
        return *window;
    }

    // Lets the views catch up with the state: they update at the next turn of the event loop.
    static void settle()
    {
        for (int turn = 0; turn < 4; ++turn) {
            QCoreApplication::processEvents();
        }
    }

    // Runs the event loop until the scan or cleanup ends. Unlike polling, a waiting loop handles
    // each batch of results as soon as it is posted, as the application's own loop does.
    void waitWhileBusy()
    {
        QEventLoop loop;
        const auto quitWhenIdle = [&] {
            if (!state->isScanning() && !state->isDeleting()) {
                loop.quit();
            }
        };
        QObject::connect(state.get(), &AppState::isScanningChanged, &loop, quitWhenIdle);
        QObject::connect(state.get(), &AppState::isDeletingChanged, &loop, quitWhenIdle);
        QTimer::singleShot(60000, &loop, [&] { loop.exit(1); });  // a guard against hanging, not a timing
        if (state->isScanning() || state->isDeleting()) {
            ASSERT_EQ(loop.exec(), 0) << "still busy";
        }
        settle();
    }

    ReviewView &review() { return *window->review(); }
    CandidateList &list() { return *review().list(); }
    CandidateTableModel &model() { return *list().candidateModel(); }

    // Eleven candidates of nine rule keys under `code`, of different sizes (two equal ones under
    // app2 and app10) and modification dates.
    void makeProjects()
    {
        const struct {
            const char *file;
            int64_t bytes;
            int daysAgo;
        } folders[] = {
            {"code/app1/node_modules/index.js", 90000, 12},
            {"code/app2/node_modules/index.js", 20000, 4},
            {"code/app10/node_modules/index.js", 20000, 8},
            {"code/py/__pycache__/m.pyc", 12000, 2},
            {"code/py/.pytest_cache/v", 6000, 9},
            {"code/py/.mypy_cache/c", 5000, 5},
            {"code/web/.next/b", 60000, 3},
            {"code/web/.turbo/t", 7000, 11},
            {"code/rust/target/app", 70000, 6},
            {"code/tool/.tox/e", 15000, 1},
            {"code/site/.nuxt/n", 30000, 10},
        };
        tree.file("code/rust/Cargo.toml");
        const time_t now = ::time(nullptr);
        for (const auto &folder : folders) {
            const std::string file = tree.file(folder.file, folder.bytes);
            const std::string parent = file.substr(0, file.rfind('/'));
            const time_t then = now - folder.daysAgo * 86400L;
            const struct timespec times[2] = {{then, 0}, {then, 0}};
            ::utimensat(AT_FDCWD, parent.c_str(), times, 0);
        }
    }

    // A root that takes a while to measure, scanned after the projects so that their rows arrive
    // while the scan is still running.
    void makeBulk(int files = 12000)
    {
        for (int i = 0; i < files; ++i) {
            tree.file("bulk/node_modules/p" + std::to_string(i % 60) + "/f" + std::to_string(i));
        }
    }

    ScopedHome home;
    FakeDesktopShell shell;
    InMemoryPreferencesStore store;
    FixtureTree tree;
    std::unique_ptr<AppState> state;
    std::unique_ptr<MainWindow> window;
};

}  // namespace tarnwick::testing
