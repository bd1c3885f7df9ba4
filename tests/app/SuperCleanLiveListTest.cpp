#include "app/SuperCleanLiveList.h"

#include "engine/SuperCleanAnalysis.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

// Items that tie on tier and size a lot, so the natural order of the paths ("p2" before "p10")
// decides many places.
std::vector<SuperCleanItem> sampleItems(int count)
{
    std::vector<SuperCleanItem> items;
    for (int i = 0; i < count; ++i) {
        SuperCleanItem item;
        item.candidate.path = "/root/p" + std::to_string(i % 37) + "/m" + std::to_string(i) + "/node_modules";
        item.candidate.id = item.candidate.path;
        item.id = item.candidate.id;
        item.candidate.size = 4096 * (i % 5);
        item.decision.tier = static_cast<SuperCleanTier>(i % 3);
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<SuperCleanItem> firstOf(const std::vector<SuperCleanItem> &items, std::size_t count)
{
    return {items.begin(), items.begin() + static_cast<std::ptrdiff_t>(std::min(count, items.size()))};
}

TEST(SuperCleanLiveList, ReadsInReviewOrderWhateverTheArrivalOrderAndTheReads)
{
    const auto items = sampleItems(300);
    for (const unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 random(seed);
        auto arrivals = items;
        std::shuffle(arrivals.begin(), arrivals.end(), random);
        SuperCleanLiveList list;
        std::vector<SuperCleanItem> added;
        for (const auto &item : arrivals) {
            ASSERT_TRUE(list.add(item));
            added.push_back(item);
            const auto expected = SuperCleanAnalysis::sortedItems(added);
            EXPECT_EQ(list.leading(), firstOf(expected, SuperCleanLiveList::kLeading));
            EXPECT_EQ(list.size(), added.size());
            if (random() % 7 == 0) { // the whole list is read now and then, merging what arrived
                ASSERT_EQ(list.items(), expected) << added.size();
            }
        }
        EXPECT_EQ(list.items(), SuperCleanAnalysis::sortedItems(items));
    }
}

TEST(SuperCleanLiveList, AnIdIsListedOnceAcrossReplaceAndTakeAll)
{
    const auto items = sampleItems(20);
    SuperCleanLiveList list;
    list.replace(SuperCleanAnalysis::sortedItems(firstOf(items, 10)));
    EXPECT_EQ(list.leading(), firstOf(list.items(), SuperCleanLiveList::kLeading));

    auto repeat = items[3];
    repeat.candidate.size = 1 << 30; // another finding of a listed folder is still a repeat
    EXPECT_FALSE(list.add(repeat));
    EXPECT_TRUE(list.add(items[15]));
    EXPECT_FALSE(list.add(items[15]));
    EXPECT_EQ(list.size(), 11u);
    ASSERT_NE(list.find(items[15].id), nullptr); // arrived, not yet merged
    EXPECT_EQ(*list.find(items[15].id), items[15]);
    ASSERT_NE(list.find(items[3].id), nullptr);
    EXPECT_EQ(list.find(items[3].id)->candidate.size, items[3].candidate.size);
    EXPECT_EQ(list.find(items[16].id), nullptr);

    const auto ordered = list.items();
    EXPECT_TRUE(list.add(items[16])); // arrived after the last read
    auto taken = list.takeAll();
    ASSERT_EQ(taken.size(), 12u);
    auto expected = ordered;
    expected.push_back(items[16]);
    EXPECT_EQ(SuperCleanAnalysis::sortedItems(taken), SuperCleanAnalysis::sortedItems(expected));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(list.leading().empty());
    EXPECT_TRUE(list.add(items[3])) << "an emptied list starts afresh";
}

} // namespace
} // namespace tarnwick
