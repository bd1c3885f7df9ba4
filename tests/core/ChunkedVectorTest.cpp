#include "core/ChunkedVector.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

using Strings = ChunkedVector<std::string>;
constexpr std::size_t kChunk = Strings::kChunkSize;

std::vector<std::string> numbered(std::size_t count)
{
    std::vector<std::string> values;
    for (std::size_t i = 0; i < count; ++i) {
        values.push_back("value " + std::to_string(i));
    }
    return values;
}

TEST(ChunkedVector, GrowingNeverMovesWhatItHolds)
{
    Strings list;
    const auto values = numbered(3 * kChunk + 17);
    std::vector<const std::string *> addresses;
    for (const auto &value : values) {
        list.push_back(value);
        addresses.push_back(&list.back());
    }
    ASSERT_EQ(list.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(&list[i], addresses[i]) << i;
        EXPECT_EQ(list[i], values[i]) << i;
    }
    EXPECT_FALSE(list.isContiguous());
    // Iteration and the standard algorithms cross the blocks' edges as indexing does.
    EXPECT_TRUE(std::ranges::equal(list, values));
    EXPECT_EQ(std::find(list.begin(), list.end(), values[kChunk]) - list.begin(), static_cast<std::ptrdiff_t>(kChunk));
    EXPECT_EQ(*(list.end() - 1), values.back());
}

TEST(ChunkedVector, ShrinksAndGrowsAgainAtAnyEdge)
{
    // A first block of its own size (reserve), then a shrink into it and growth past it again: the
    // places of the elements stay what the indices say.
    for (const std::size_t first : {std::size_t{1}, std::size_t{100}, kChunk}) {
        Strings list;
        list.reserve(first);
        const auto values = numbered(first + kChunk + 5);
        for (const auto &value : values) {
            list.push_back(value);
        }
        for (const std::size_t kept : {first + kChunk, first + 1, first, first / 2, std::size_t{0}}) {
            list.truncate(kept);
            ASSERT_EQ(list.size(), kept);
            EXPECT_TRUE(std::equal(list.begin(), list.end(), values.begin())) << first << " " << kept;
        }
        for (const auto &value : values) {
            list.push_back(value);
        }
        EXPECT_TRUE(std::ranges::equal(list, values)) << first;
    }
}

TEST(ChunkedVector, CompactPutsEverythingInOneBlockInOrder)
{
    Strings list;
    const auto values = numbered(2 * kChunk + 3);
    for (const auto &value : values) {
        list.push_back(value);
    }
    list.compact();
    ASSERT_TRUE(list.isContiguous());
    EXPECT_TRUE(std::equal(list.data(), list.data() + list.size(), values.begin()));
    // It grows on from there without moving the block.
    const std::string *first = list.data();
    list.push_back("one more");
    EXPECT_EQ(&list[0], first);
    EXPECT_EQ(list.back(), "one more");

    Strings reserved;
    reserved.reserve(values.size());
    for (const auto &value : values) {
        reserved.push_back(value);
    }
    EXPECT_TRUE(reserved.isContiguous()) << "a list built at a known size is one block";
}

}  // namespace
}  // namespace tarnwick
