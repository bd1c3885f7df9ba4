#pragma once

#include "UiTestSupport.h"

#include "TestEnvironment.h"
#include "app/InMemoryPreferencesStore.h"
#include "ui/MainWindow.h"

#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace tarnwick::testing {

// The main window over an application state with a private home, preferences in memory, the
// onboarding already seen and no automatic update check (the feed, when given, answers manual
// checks). Its folder chooser answers with
// `shell.nextChosenFolders`.
struct WindowFixture {
    explicit WindowFixture(const QUrl &updateFeed = {})
    {
        store.set("automaticUpdateChecksEnabled", false);
        store.set("hasSeenOnboarding", true);
        AppEnvironment environment = isolatedEnvironment(home.home(), &shell);
        if (!updateFeed.isEmpty()) {
            environment.updateFeedURL = updateFeed;
        }
        state = std::make_unique<AppState>(store, environment);
        window = std::make_unique<MainWindow>(*state, shell);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // A project with installed JavaScript packages: one folder the default rules find.
    std::string project(const std::string &name = "Code/app")
    {
        const std::filesystem::path root = std::filesystem::path(home.home()) / name;
        std::filesystem::create_directories(root / "node_modules" / "left-pad");
        std::ofstream(root / "package.json") << "{}";
        std::ofstream(root / "node_modules" / "left-pad" / "index.js") << std::string(4096, 'x');
        return root.string();
    }

    ScopedHome home;
    FakeDesktopShell shell;
    InMemoryPreferencesStore store;
    std::unique_ptr<AppState> state;
    std::unique_ptr<MainWindow> window;
};

}  // namespace tarnwick::testing
