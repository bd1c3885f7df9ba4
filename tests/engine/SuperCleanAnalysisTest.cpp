// The guided analysis on real trees: evidence read from the file system and the process list, the
// verdicts it leads to, and the final list of a scan.

#include "engine/SuperCleanAnalysis.h"

#include "ChildProcess.h"
#include "FixtureTree.h"
#include "ScanTestSupport.h"
#include "ScopedMount.h"
#include "TestNames.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using testing::FixtureTree;
namespace Analysis = SuperCleanAnalysis;

class SuperCleanAnalysisTest : public ::testing::Test {
protected:
    // The candidate the guided scan finds at `relative`, scanning from `root` (the tree by default).
    CleanupCandidate found(const std::string &relative, std::string root = {})
    {
        root = root.empty() ? tree.root() : root;
        const auto scan = testing::recordScan(Analysis::scanOptions({{root}, {}, nullptr}));
        for (const auto &candidate : scan.result) {
            if (candidate.path == tree.path(relative)) {
                return candidate;
            }
        }
        ADD_FAILURE() << "not found: " << relative;
        return {};
    }

    SuperCleanItem itemAt(const std::string &relative, std::set<std::string> alwaysKeep = {})
    {
        const auto item = Analysis::makeItem(found(relative), {{tree.root()}, std::move(alwaysKeep), nullptr}, now);
        EXPECT_TRUE(item.has_value()) << relative;
        return item.value_or(SuperCleanItem{});
    }

    SuperCleanActivityEvidence evidenceAt(const std::string &relative, const std::string &root)
    {
        const CleanupCandidate candidate = found(relative, root);
        return Analysis::evidence(candidate, root, FileSystemSnapshot::capture(candidate.path, now), {}, now);
    }

    static std::string firstReason(const SuperCleanItem &item)
    {
        return item.decision.reasons.empty() ? "" : item.decision.reasons.front().title;
    }

    FixtureTree tree;
    const Timestamp now = std::chrono::system_clock::now();
};

TEST_F(SuperCleanAnalysisTest, AnyListedManifestOrLockfileLetsNodeModulesBeRecommended)
{
    tree.file("bun/bun.lock");
    tree.file("bun/node_modules/dep/index.js", 3000);
    tree.file("bare/node_modules/dep/index.js", 3000);
    tree.age("bun/node_modules", 60);
    tree.age("bare/node_modules", 60);

    EXPECT_TRUE(Analysis::hasRequiredManifest(found("bun/node_modules")));
    EXPECT_EQ(itemAt("bun/node_modules").decision.tier, SuperCleanTier::recommended);
    EXPECT_FALSE(Analysis::hasRequiredManifest(found("bare/node_modules")));
    EXPECT_EQ(firstReason(itemAt("bare/node_modules")), "Missing JavaScript manifest");
}

TEST_F(SuperCleanAnalysisTest, ActivityComesFromTheNearestRepositoryInsideTheApprovedRoot)
{
    const auto yesterday = now - std::chrono::hours(36);
    tree.file("repo/.git/HEAD");
    tree.file("repo/app/package.json");
    tree.file("repo/app/node_modules/dep/index.js");
    tree.age("repo/app/node_modules", 90);
    tree.setModified("repo/.git", yesterday);
    EXPECT_EQ(evidenceAt("repo/app/node_modules", tree.root()).daysInactive, 1);
    EXPECT_EQ(firstReason(itemAt("repo/app/node_modules")), "Recently active");

    // The same repository seen from a root inside it: its .git lies outside and is not consulted.
    const auto fromInside = evidenceAt("repo/app/node_modules", tree.path("repo/app")).daysInactive;
    ASSERT_TRUE(fromInside.has_value());
    EXPECT_GE(*fromInside, 89);

    // A folder newer than its repository keeps its own date.
    tree.age("repo/app/node_modules", 0);
    EXPECT_EQ(evidenceAt("repo/app/node_modules", tree.root()).daysInactive, 0);
}

TEST_F(SuperCleanAnalysisTest, AMountPointIsNeverCertain)
{
    tree.file("m/package.json");
    tree.folder("m/node_modules");
    const auto mount = testing::ScopedMount::tmpfs(tree.path("m/node_modules"));
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.why();
    }
    const SuperCleanItem item = itemAt("m/node_modules");
    EXPECT_TRUE(item.snapshot.isMountPoint);
    EXPECT_EQ(item.decision.tier, SuperCleanTier::advanced);
    EXPECT_EQ(firstReason(item), "Path needs review");
}

TEST_F(SuperCleanAnalysisTest, ARunningDockerMakesDockerItemsReviewItems)
{
    tree.file(".docker/buildx/cache/blob", 2000);
    const std::string docker = tree.path("bin/docker");
    tree.folder("bin");
    std::filesystem::copy_file("/bin/sleep", docker);
    std::filesystem::permissions(docker, std::filesystem::perms::owner_all);
    const CleanupCandidate candidate = found(".docker/buildx/cache");
    ASSERT_EQ(candidate.category, "Docker");

    testing::ChildProcess running({docker, "600"});
    EXPECT_TRUE(Analysis::isRelatedToolRunning(candidate));
    const SuperCleanItem item = itemAt(".docker/buildx/cache");
    EXPECT_EQ(item.decision.tier, SuperCleanTier::review);
    EXPECT_EQ(firstReason(item), "Related tool is running");
    CleanupCandidate javaScript = candidate;
    javaScript.category = "JavaScript";
    EXPECT_FALSE(Analysis::isRelatedToolRunning(javaScript)) << "only Xcode, iOS and Docker items have a tool";
}

struct AlwaysKeepCase {
    std::string label;
    std::string kept;  // relative to the tree
    bool expected;
};

class AlwaysKeepTest : public SuperCleanAnalysisTest, public ::testing::WithParamInterface<AlwaysKeepCase> {};

TEST_P(AlwaysKeepTest, CountsInBothDirections)
{
    tree.file("p/package.json");
    tree.file("p/node_modules/dep/index.js");
    const CleanupCandidate candidate = found("p/node_modules");
    const Analysis::Context context{{tree.root()}, {tree.path(GetParam().kept)}, nullptr};
    const auto evidence =
        Analysis::evidence(candidate, tree.root(), FileSystemSnapshot::capture(candidate.path, now), context, now);
    EXPECT_EQ(evidence.isAlwaysKeep, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, AlwaysKeepTest,
                         ::testing::Values(AlwaysKeepCase{"the item itself", "p/node_modules", true},
                                           AlwaysKeepCase{"a folder inside it", "p/node_modules/dep", true},
                                           AlwaysKeepCase{"its project", "p", true},
                                           AlwaysKeepCase{"a sibling sharing its prefix", "p/node_modules2", false}),
                         testing::labelTestName<AlwaysKeepCase>);

TEST_F(SuperCleanAnalysisTest, TheFinalListAddsMissedItemsDropsNestedOnesAndSortsByTier)
{
    tree.file("web/package.json");
    tree.file("web/node_modules/tool/package.json");
    tree.file("web/node_modules/tool/node_modules/dep/index.js", 9000);
    tree.file("web/dist/bundle.js", 50000);
    tree.file("py/.venv/lib/site.py", 1000);
    tree.file("rs/Cargo.toml");
    tree.file("rs/target/debug/app", 20000);
    tree.age("web/node_modules", 60);
    tree.age("rs/target", 60);
    const Analysis::Context context{{tree.root()}, {}, nullptr};
    const auto scan = testing::recordScan(Analysis::scanOptions(context));

    // One item was made live; the scanner's final list holds everything, plus a folder nested in
    // the live item (as a scan of another root inside it would report).
    std::vector<SuperCleanItem> live{itemAt("web/node_modules")};
    std::vector<CleanupCandidate> final = scan.result;
    final.push_back(found("web/node_modules/tool/node_modules", tree.path("web/node_modules/tool")));
    const auto items = Analysis::reconciled(live, final, context, now);

    std::vector<std::string> order;
    for (const auto &item : items) {
        order.push_back(item.candidate.path.substr(tree.root().size() + 1) + " " +
                        std::string(rawValue(item.decision.tier)));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"rs/target recommended", "web/node_modules recommended",
                                               "web/dist review", "py/.venv advanced"}));
    EXPECT_EQ(items[1], live[0]) << "an item made live is kept as it was";
}

}  // namespace
}  // namespace tarnwick
