#include "ChildProcess.h"
#include "CliTestSupport.h"
#include "FixtureTree.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tarnwick {
namespace {

using testing::cli;
using testing::FixtureTree;

class CliAnalyze : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.file("web/package.json");
        tree.file("web/node_modules/dep/index.js", 5000);
        tree.age("web/node_modules", 60);
        tree.file("web/dist/bundle.js", 90000);
        tree.file("py/.venv/lib/site.py", 1000);
    }

    FixtureTree tree;
};

TEST_F(CliAnalyze, TablePrintsEachTierWithReasonsAndConsequences)
{
    const auto result = cli({"analyze", tree.root()});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string &out = result.out;
    const auto recommended = out.find("Recommended (1)\n");
    const auto review = out.find("Review (1)\n");
    const auto advanced = out.find("Advanced (1)\n");
    ASSERT_NE(recommended, std::string::npos) << out;
    EXPECT_LT(recommended, out.find(tree.path("web/node_modules") + "\n"));
    EXPECT_LT(out.find(tree.path("web/node_modules") + "\n"), review);
    EXPECT_LT(review, out.find("  dist  " ));
    EXPECT_LT(out.find(tree.path("web/dist") + "\n"), advanced);
    EXPECT_LT(advanced, out.find(tree.path("py/.venv") + "\n"));
    EXPECT_NE(out.find(": This exceeds the 30-day inactivity threshold for node_modules.\n"), std::string::npos);
    EXPECT_NE(out.find("Consequence: Usually recreated by the related developer tool when needed.\n"),
              std::string::npos);
    EXPECT_NE(out.find("Review required: This folder type is useful to inspect before cleanup.\n"), std::string::npos);
    EXPECT_NE(out.find(" in 3 folders; recommended: "), std::string::npos) << out;
}

TEST_F(CliAnalyze, JsonListsItemsInReviewOrder)
{
    const auto result = cli({"analyze", "--json", "-q", tree.root(), tree.path("web")});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto json = nlohmann::ordered_json::parse(result.out);
    ASSERT_EQ(json.size(), 3u) << "a root inside another is analyzed once";
    std::vector<std::string> keys;
    for (const auto &[key, value] : json[0].items()) {
        keys.push_back(key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"id", "path", "key", "category", "risk", "size", "modifiedAt",
                                              "approvedRoot", "tier", "selected", "reasons", "consequence", "notes"}));
    EXPECT_EQ(json[0]["path"], tree.path("web/node_modules"));
    EXPECT_EQ(json[0]["approvedRoot"], tree.root());
    EXPECT_EQ(json[0]["tier"], "recommended");
    EXPECT_EQ(json[0]["selected"], true);
    EXPECT_EQ(json[0]["reasons"].size(), 3u);
    EXPECT_EQ(json[0]["reasons"][0]["title"], "High-confidence generated folder");
    EXPECT_EQ(json[1]["tier"], "review");
    EXPECT_EQ(json[1]["selected"], false);
    EXPECT_EQ(json[2]["path"], tree.path("py/.venv"));
    EXPECT_EQ(json[2]["tier"], "advanced");
    EXPECT_EQ(json[2]["consequence"], "Only select this after reviewing the exact path and consequence.");
}

TEST_F(CliAnalyze, ARootMayItselfBeAnItem)
{
    const auto result = cli({"analyze", "--json", tree.path("web/node_modules")});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto json = nlohmann::json::parse(result.out);
    ASSERT_EQ(json.size(), 1u);
    EXPECT_EQ(json[0]["approvedRoot"], tree.path("web/node_modules"));

    const auto missing = cli({"analyze", tree.path("nowhere")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("No such folder"), std::string::npos);
    EXPECT_EQ(cli({"analyze", "--preset", "deep", tree.root()}).status, 2) << "the analysis always uses every rule";
}

}  // namespace
}  // namespace tarnwick
