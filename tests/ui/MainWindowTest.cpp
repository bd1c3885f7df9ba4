// The main window on the offscreen platform, with a private home and preferences in memory.

#include "UiTestSupport.h"

#include "TestEnvironment.h"
#include "app/InMemoryPreferencesStore.h"
#include "ui/MainWindow.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(MainWindow, KeepsItsMinimumSize)
{
    testing::ScopedHome home;
    testing::FakeDesktopShell shell;
    InMemoryPreferencesStore store;
    store.set("automaticUpdateChecksEnabled", false);
    AppState state(store, testing::isolatedEnvironment(home.home(), &shell));
    MainWindow window(state, shell);
    window.show();
    EXPECT_GE(window.width(), 1120);
    EXPECT_GE(window.height(), 720);
    EXPECT_TRUE(testing::saveScreenshot(window, "main-window-skeleton"));
}

}  // namespace
}  // namespace tarnwick
