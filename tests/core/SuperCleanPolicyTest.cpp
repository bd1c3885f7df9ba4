#include "TestNames.h"
#include "core/ByteCountFormatter.h"
#include "core/SuperCleanPolicy.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarnwick {
namespace {

using Seed = SuperCleanCandidateSeed;

// A node_modules folder that passes every check: recommended unless a case changes something.
Seed passingSeed()
{
    Seed seed;
    seed.id = seed.path = "/p/app/node_modules";
    seed.ruleKey = "node_modules";
    seed.category = "JavaScript";
    seed.ruleRisk = SuperCleanRuleRisk::safe;
    seed.sizeBytes = 2'500'000;
    seed.approvedRootPath = "/p";
    seed.evidence.daysInactive = 45;
    seed.evidence.hasStrongGeneratedContext = true;
    seed.evidence.hasRequiredManifest = true;
    seed.evidence.pathIsCertain = true;
    return seed;
}

struct ClassifyCase {
    std::string label;
    std::function<void(Seed &)> change;
    SuperCleanTier tier;
    std::string title;
    std::string detail;  // checked when not empty
    std::string consequence;
};

class ClassifyTest : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyTest, FirstApplicableStepDecides)
{
    const auto &c = GetParam();
    Seed seed = passingSeed();
    c.change(seed);
    const auto decision = SuperCleanPolicy::classify(seed);
    EXPECT_EQ(decision.tier, c.tier);
    EXPECT_EQ(decision.isAutoSelected, c.tier == SuperCleanTier::recommended);
    ASSERT_FALSE(decision.reasons.empty());
    EXPECT_EQ(decision.reasons[0].title, c.title);
    if (!c.detail.empty()) {
        EXPECT_EQ(decision.reasons[0].detail, c.detail);
    }
    EXPECT_EQ(decision.consequence, c.consequence);
    if (c.tier != SuperCleanTier::recommended) {
        EXPECT_EQ(decision.reasons.size(), 1u);
    }
}

const std::string kReviewBeforeSelecting = "Review this item before selecting it.";
const std::string kKeepUnselected = "Keep this unselected unless you know the project is inactive.";
const std::string kRecreated = "Usually recreated by the related developer tool when needed.";

INSTANTIATE_TEST_SUITE_P(
    Steps, ClassifyTest,
    ::testing::Values(
        ClassifyCase{"always keep outranks an uncertain path",
                     [](Seed &s) {
                         s.evidence.isAlwaysKeep = true;
                         s.evidence.pathIsCertain = false;
                     },
                     SuperCleanTier::review, "Always Keep", "This path is on the local Always Keep list.",
                     "Tarnwick will leave this item unselected."},
        ClassifyCase{"always keep of an advanced rule",
                     [](Seed &s) {
                         s.evidence.isAlwaysKeep = true;
                         s.ruleRisk = SuperCleanRuleRisk::advanced;
                     },
                     SuperCleanTier::advanced, "Always Keep", "", "Tarnwick will leave this item unselected."},
        ClassifyCase{"uncertain path outranks a running tool",
                     [](Seed &s) {
                         s.evidence.pathIsCertain = false;
                         s.evidence.isRelatedToolRunning = true;
                     },
                     SuperCleanTier::advanced, "Path needs review",
                     "Tarnwick could not prove the item identity safely enough for automatic selection.",
                     "Review the path before taking any action."},
        ClassifyCase{"changed during scan", [](Seed &s) { s.evidence.changedDuringScan = true; },
                     SuperCleanTier::review, "Changed during scan",
                     "The item changed while Tarnwick was analyzing it.",
                     "Tarnwick will re-check this item before cleanup."},
        ClassifyCase{"running tool outranks an advanced rule",
                     [](Seed &s) {
                         s.ruleKey = "Docker Desktop Data";
                         s.ruleRisk = SuperCleanRuleRisk::advanced;
                         s.evidence.isRelatedToolRunning = true;
                     },
                     SuperCleanTier::review, "Related tool is running",
                     "A related developer tool appears to be active.",
                     "Close the related tool before cleaning if you choose this item."},
        ClassifyCase{"venv of risk safe is never recommended", [](Seed &s) { s.ruleKey = ".venv"; },
                     SuperCleanTier::advanced, "Advanced cleanup target",
                     "This can remove local environments, archives, VM data, or other state that may not be "
                     "trivially recreated.",
                     "Only select this after reviewing the exact path and consequence."},
        ClassifyCase{"review risk", [](Seed &s) { s.ruleRisk = SuperCleanRuleRisk::review; }, SuperCleanTier::review,
                     "Review required", "This folder type is useful to inspect before cleanup.",
                     kReviewBeforeSelecting},
        ClassifyCase{"node_modules without a manifest", [](Seed &s) { s.evidence.hasRequiredManifest = false; },
                     SuperCleanTier::review, "Missing JavaScript manifest",
                     "node_modules must be beside package.json or a recognized lockfile before it can be "
                     "recommended.",
                     "Confirm this is a generated dependency folder before selecting it."},
        ClassifyCase{"dist without strong context at 7 days",
                     [](Seed &s) {
                         s.ruleKey = "dist";
                         s.evidence.hasStrongGeneratedContext = false;
                         s.evidence.daysInactive = 7;
                     },
                     SuperCleanTier::review, "Generic folder name",
                     "dist can contain generated output or intentional artifacts depending on the project.",
                     "Review the path before selecting it."},
        ClassifyCase{"other rule without strong context",
                     [](Seed &s) {
                         s.ruleKey = "Gradle Cache";
                         s.evidence.hasStrongGeneratedContext = false;
                     },
                     SuperCleanTier::review, "Generated context not strong enough",
                     "Tarnwick needs stronger project or tool evidence before recommending this automatically.",
                     kReviewBeforeSelecting},
        ClassifyCase{"activity unknown", [](Seed &s) { s.evidence.daysInactive.reset(); }, SuperCleanTier::review,
                     "Activity unknown", "Tarnwick could not determine recent activity for this item.",
                     kReviewBeforeSelecting},
        ClassifyCase{"node_modules at 29 days", [](Seed &s) { s.evidence.daysInactive = 29; },
                     SuperCleanTier::review, "Recently active",
                     "Last activity was 29 days ago; Tarnwick requires at least 30 days for this folder type.",
                     kKeepUnselected},
        ClassifyCase{"node_modules at 30 days", [](Seed &s) { s.evidence.daysInactive = 30; },
                     SuperCleanTier::recommended, "High-confidence generated folder",
                     "The rule, project context, inactivity, and local evidence all match Tarnwick's safest "
                     "criteria.",
                     kRecreated},
        ClassifyCase{"dist with strong context at 6 days",
                     [](Seed &s) {
                         s.ruleKey = "dist";
                         s.evidence.daysInactive = 6;
                     },
                     SuperCleanTier::review, "Recently active",
                     "Last activity was 6 days ago; Tarnwick requires at least 7 days for this folder type.",
                     kKeepUnselected},
        ClassifyCase{"dist with strong context at 7 days",
                     [](Seed &s) {
                         s.ruleKey = "dist";
                         s.evidence.daysInactive = 7;
                     },
                     SuperCleanTier::recommended, "High-confidence generated folder", "", kRecreated}),
    testing::labelTestName<ClassifyCase>);

TEST(SuperCleanPolicy, RecommendedItemExplainsInactivityAndSize)
{
    Seed seed = passingSeed();
    seed.evidence.daysInactive = 30;
    const auto reasons = SuperCleanPolicy::classify(seed).reasons;
    ASSERT_EQ(reasons.size(), 3u);
    EXPECT_EQ(reasons[1], (SuperCleanReason{"Project inactive for 30 days",
                                            "This exceeds the 30-day inactivity threshold for node_modules."}));
    EXPECT_EQ(reasons[2], (SuperCleanReason{formatByteCount(2'500'000),
                                            "Measured as allocated storage on disk where available."}));
}

struct OutermostCase {
    std::string label;
    std::vector<std::string> input;
    std::vector<std::string> expected;
};

class OutermostPathsTest : public ::testing::TestWithParam<OutermostCase> {};

TEST_P(OutermostPathsTest, KeepsTheShallowestOfEachChainInNaturalOrder)
{
    EXPECT_EQ(SuperCleanPolicy::deduplicatedRootPaths(GetParam().input), GetParam().expected);
    EXPECT_EQ(SuperCleanPolicy::prunedNestedCandidatePaths(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, OutermostPathsTest,
    ::testing::Values(OutermostCase{"nested and dotted", {"/a/b", "/a", "/a/./b/c", "/x"}, {"/a", "/x"}},
                      OutermostCase{"the root holds everything", {"/a/b", "/", "/z"}, {"/"}},
                      OutermostCase{"a shared prefix is not nesting", {"/a/bc", "/a/b"}, {"/a/b", "/a/bc"}},
                      OutermostCase{"duplicates and trailing separators", {"/q/", "/q", "/q//"}, {"/q"}},
                      OutermostCase{"natural order, case ignored",
                                    {"/p10", "/p9", "/P1", "/p9/deep/er"},
                                    {"/P1", "/p9", "/p10"}},
                      OutermostCase{"empty", {}, {}}),
    testing::labelTestName<OutermostCase>);

}  // namespace
}  // namespace tarnwick
