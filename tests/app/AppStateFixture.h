#pragma once

#include "AppTestSupport.h"
#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "app/InMemoryPreferencesStore.h"

#include <QObject>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwick::testing {

inline bool exists(const std::string &path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

// An application state over a private home, preferences in memory, a fake desktop and a real
// folder tree, made on first use; every status text it shows is recorded.
class AppStateFixture : public ::testing::Test {
protected:
    void SetUp() override { store.set("automaticUpdateChecksEnabled", false); }

    AppState &state(bool withAnalytics = false)
    {
        if (!m_state) {
            auto environment = isolatedEnvironment(home.home(), &shell);
            if (withAnalytics) {
                if (!endpoint.available()) {
                    throw std::runtime_error("no TLS endpoint");
                }
                environment.analyticsEndpoint = endpoint.url();
                store.set("analyticsOptIn", true);
            }
            m_state = std::make_unique<AppState>(store, environment);
            QObject::connect(m_state.get(), &AppState::statusMessageChanged,
                             [this] { statuses.push_back(m_state->statusMessage()); });
        }
        return *m_state;
    }
    // Destroys the state as quitting the application does.
    void quit() { m_state.reset(); }

    void scanAndWait()
    {
        state().scan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state().isScanning(); }, 20000));
    }

    void cleanAndWait()
    {
        state().deleteSelected();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state().isDeleting(); }, 20000));
    }

    std::vector<std::string> candidatePaths()
    {
        std::vector<std::string> paths;
        for (const auto &candidate : state().candidates()) {
            paths.push_back(candidate.path);
        }
        return paths;
    }

    ScopedHome home;
    FakeDesktopShell shell;
    RecordingEndpoint endpoint;
    InMemoryPreferencesStore store;
    std::vector<std::string> statuses;
    FixtureTree tree;

private:
    std::unique_ptr<AppState> m_state;
};

}  // namespace tarnwick::testing
