// Opening, closing and finishing the guided cleanup through the application state, with the events
// it sends to a real analytics endpoint.

#include "AppTestSupport.h"
#include "SuperCleanTestSupport.h"
#include "TestEnvironment.h"
#include "app/InMemoryPreferencesStore.h"
#include "app/SuperCleanCoordinator.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarnwick {
namespace {

using testing::FixtureTree;

class AppStateSuperCleanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!endpoint.available()) {
            GTEST_SKIP() << "no local TLS endpoint";
        }
        store.set("automaticUpdateChecksEnabled", false);
        store.set("analyticsOptIn", true);
        auto environment = testing::isolatedEnvironment(home.home());
        environment.analyticsEndpoint = endpoint.url();
        state = std::make_unique<AppState>(store, environment);
    }

    testing::ScopedHome home;
    testing::RecordingEndpoint endpoint;
    InMemoryPreferencesStore store;
    FixtureTree tree;
    std::unique_ptr<AppState> state;
};

TEST_F(AppStateSuperCleanTest, OpeningWithoutRootsStillOpensTheWindow)
{
    ASSERT_TRUE(state->roots().empty());
    state->startSuperClean();
    EXPECT_TRUE(state->isSuperCleanPresented());
    EXPECT_EQ(state->superCleanCoordinator().phase(), SuperCleanPhase::choosingScope);
    endpoint.events(*state);
    const auto started = endpoint.properties("super_clean_started");
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0]["root_count"].toString(), "0");

    state->closeSuperClean();
    EXPECT_FALSE(state->isSuperCleanPresented());
}

TEST_F(AppStateSuperCleanTest, ACleaningSendsOneEventOfBucketsAndRecordsNoStatistics)
{
    testing::javaScriptProject(tree, "web");
    testing::javaScriptProject(tree, "changed");
    tree.file("tool/Cargo.toml");
    tree.file("tool/target/debug/app", 20000);
    tree.age("tool/target", 60);
    tree.file("lib/__pycache__/mod.pyc", 3000);
    tree.age("lib/__pycache__", 60);
    state->setRoots({tree.root()});
    const auto statsBefore = state->cleanupStats();

    state->startSuperClean();
    auto &coordinator = state->superCleanCoordinator();
    testing::scanAndWait(coordinator);
    ASSERT_EQ(coordinator.selectedItemIDs().size(), 4u);
    std::filesystem::remove_all(tree.path("changed/node_modules"));
    tree.folder("changed/node_modules");
    testing::cleanAndWait(coordinator);
    ASSERT_EQ(coordinator.result()->report.movedCount, 3);

    endpoint.events(*state);
    const auto completed = endpoint.properties("super_clean_completed");
    ASSERT_EQ(completed.size(), 1u);
    EXPECT_EQ(completed[0]["result_count_bucket"].toString(), "2-5");
    EXPECT_EQ(completed[0]["failure_count_bucket"].toString(), "0");
    EXPECT_EQ(completed[0]["selected_size_bucket"].toString(), "under_100mb");
    // Three categories were listed when the run ended; only the skipped JavaScript item is left.
    EXPECT_EQ(completed[0]["category_count_bucket"].toString(), "2-5");
    EXPECT_FALSE(completed[0]["duration_bucket"].toString().isEmpty());
    EXPECT_EQ(state->cleanupStats(), statsBefore);
    EXPECT_TRUE(state->cleanupHistory().empty());
    EXPECT_FALSE(state->cleanupSummary().has_value());
}

}  // namespace
}  // namespace tarnwick
