// The application as a user starts it, as separate processes: a second launch hands its folder to
// the running copy and exits, and the running copy winds down cleanly on a termination signal,
// with what it was handed saved.

#include "ChildProcess.h"
#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "app/JsonFilePreferencesStore.h"
#include "app/SingleInstance.h"

#include <QTest>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tarnwick {
namespace {

TEST(ApplicationProcess, ASecondLaunchHandsOverAndTheFirstQuitsCleanly)
{
    testing::ScopedHome home;  // the processes inherit it
    testing::FixtureTree tree;
    const std::string project = tree.folder("project");
    const std::string preferences = JsonFilePreferencesStore::defaultFilePath();
    {
        JsonFilePreferencesStore store(preferences);
        store.set("automaticUpdateChecksEnabled", false);  // no request to the product's site
        store.set("hasSeenOnboarding", true);
    }
    const std::string socket =
        SingleInstance(SingleInstance::standardRuntimeFolder(), preferences).socketPath();
    ASSERT_FALSE(socket.empty());

    testing::ChildProcess first({TARNWICK_APP_PATH});
    ASSERT_TRUE(QTest::qWaitFor([&] { return ::access(socket.c_str(), F_OK) == 0; }, 60000))
        << "the first launch listens for later ones";

    // Named relative to where it was started, which is not where the first one runs.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(tree.root());
    testing::ChildProcess second({TARNWICK_APP_PATH, "project"});
    std::filesystem::current_path(previous);
    EXPECT_EQ(second.wait(), 0) << second.err();
    EXPECT_EQ(::access(socket.c_str(), F_OK), 0) << "the first is still running";

    first.signal(SIGTERM);
    EXPECT_EQ(first.wait(), 0) << first.err();
    EXPECT_NE(::access(socket.c_str(), F_OK), 0) << "its socket went with it";
    EXPECT_EQ(JsonFilePreferencesStore(preferences).stringArray("roots"), std::vector<std::string>{project});
}

}  // namespace
}  // namespace tarnwick
