#include "app/CandidateOrdering.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace tarnwick {
namespace {

CleanupCandidate candidate(std::string path, int64_t size = 0, std::string key = "node_modules",
                           std::optional<int> modifiedDay = std::nullopt)
{
    CleanupCandidate result;
    result.id = path;
    result.path = std::move(path);
    result.key = std::move(key);
    result.size = size;
    if (modifiedDay) {
        result.modifiedAt = Timestamp(std::chrono::hours(24 * *modifiedDay));
    }
    return result;
}

std::vector<std::string> sortedIDs(std::vector<CleanupCandidate> list, CandidateSortMode mode)
{
    std::stable_sort(list.begin(), list.end(), [mode](const CleanupCandidate &a, const CleanupCandidate &b) {
        return candidateOrderedBefore(a, b, mode);
    });
    std::vector<std::string> ids;
    for (const auto &each : list) {
        ids.push_back(each.id);
    }
    return ids;
}

TEST(CandidateOrdering, EachModeBreaksTiesByNaturalPathOrder)
{
    const std::vector<CleanupCandidate> list = {
        candidate("/c/app10/node_modules", 500, "node_modules", 3),
        candidate("/c/App2/node_modules", 500, "node_modules"),
        candidate("/c/tool/target", 900, "target", 1),
        candidate("/c/app1/dist", 100, "dist", 3),
        candidate("/c/app3/Dist", 100, "Dist"),
        candidate("/c/app11/dist", 100, "dist", 1),
    };
    using M = CandidateSortMode;
    EXPECT_EQ(sortedIDs(list, M::largest),
              (std::vector<std::string>{"/c/tool/target", "/c/App2/node_modules", "/c/app10/node_modules",
                                        "/c/app1/dist", "/c/app3/Dist", "/c/app11/dist"}));
    EXPECT_EQ(sortedIDs(list, M::smallest),
              (std::vector<std::string>{"/c/app1/dist", "/c/app3/Dist", "/c/app11/dist", "/c/App2/node_modules",
                                        "/c/app10/node_modules", "/c/tool/target"}));
    // "dist" and "Dist" are different keys, so their candidates do not interleave by path.
    EXPECT_EQ(sortedIDs(list, M::target),
              (std::vector<std::string>{"/c/app3/Dist", "/c/app1/dist", "/c/app11/dist", "/c/App2/node_modules",
                                        "/c/app10/node_modules", "/c/tool/target"}));
    // Older first; equal dates by path; every undated one after the dated, by path.
    EXPECT_EQ(sortedIDs(list, M::lastModified),
              (std::vector<std::string>{"/c/app11/dist", "/c/tool/target", "/c/app1/dist", "/c/app10/node_modules",
                                        "/c/App2/node_modules", "/c/app3/Dist"}));
    EXPECT_EQ(sortedIDs(list, M::path),
              (std::vector<std::string>{"/c/app1/dist", "/c/App2/node_modules", "/c/app3/Dist", "/c/app10/node_modules",
                                        "/c/app11/dist", "/c/tool/target"}));
}

// The keyed sort of the review list must give exactly the order of the pairwise rule, stability
// included, on lists with many ties of every kind.
TEST(CandidateOrdering, KeyedSortAgreesWithThePairwiseOrder)
{
    std::mt19937 random(7);
    const auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const std::vector<std::string> names = {"app",          "App",   "APP",   "app-", "café",
                                            "cafe\xcc\x81", "x\xff", "x\xfe", "Ω",    "node"};
    const std::vector<std::string> keys = {"node_modules", "Pods", "pods", "target", "__pycache__", "dist", "Dist"};
    std::vector<CleanupCandidate> list;
    for (int i = 0; i < 3000; ++i) {
        auto each = candidate("/r/" + names[pick(10)] + std::to_string(pick(40)) + "/" + names[pick(10)],
                              4096 * pick(6), keys[pick(7)]);
        if (pick(4) != 0) {
            each.modifiedAt = Timestamp(std::chrono::seconds(pick(8)));
        }
        each.id = std::to_string(i);  // equal paths then show whether the sort kept their order
        list.push_back(std::move(each));
    }
    for (const auto mode : allCandidateSortModes) {
        auto keyed = list;
        sortCandidates(keyed, mode);
        std::vector<std::string> ids;
        for (const auto &each : keyed) {
            ids.push_back(each.id);
        }
        EXPECT_EQ(ids, sortedIDs(list, mode)) << rawValue(mode);
    }
}

}  // namespace
}  // namespace tarnwick
