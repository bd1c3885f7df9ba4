#include "core/AnalyticsBuckets.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace tarnwick {
namespace {

constexpr int64_t kMB = 1024 * 1024;
constexpr int64_t kGB = 1024 * kMB;
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

// Each bucket is checked at both of its edges, so an off-by-one on either side shows.
TEST(AnalyticsBuckets, CountLabelsAtEveryEdge)
{
    const std::pair<int64_t, const char *> cases[] = {
        {0, "0"},       {1, "1"},        {2, "2-5"},    {5, "2-5"},     {6, "6-20"},  {20, "6-20"},
        {21, "21-100"}, {100, "21-100"}, {101, "100+"}, {kMax, "100+"}, {-1, "100+"}, {kMin, "100+"},
    };
    for (const auto &[n, label] : cases) {
        EXPECT_EQ(AnalyticsBuckets::count(n), label) << n;
    }
}

TEST(AnalyticsBuckets, SizeLabelsUseBinaryUnits)
{
    const std::pair<int64_t, const char *> cases[] = {
        {0, "0"},
        {1, "under_100mb"},
        {100 * kMB - 1, "under_100mb"},
        {100 * kMB, "100mb_500mb"},
        {500 * kMB - 1, "100mb_500mb"},
        {500 * kMB, "500mb_1gb"},
        {kGB - 1, "500mb_1gb"},
        {kGB, "1gb_5gb"},
        {5 * kGB - 1, "1gb_5gb"},
        {5 * kGB, "5gb_20gb"},
        {20 * kGB - 1, "5gb_20gb"},
        {20 * kGB, "20gb+"},
        {kMax, "20gb+"},
        {-1, "20gb+"},
        {kMin, "20gb+"},
    };
    for (const auto &[bytes, label] : cases) {
        EXPECT_EQ(AnalyticsBuckets::size(bytes), label) << bytes;
    }
}

TEST(AnalyticsBuckets, DurationLabelsIncludeTheLowerEdge)
{
    const std::pair<double, const char *> cases[] = {
        {-5, "under_1s"},       {0, "under_1s"},
        {0.999, "under_1s"},    {1.0, "1s_5s"},
        {4.999, "1s_5s"},       {5, "5s_30s"},
        {29.99, "5s_30s"},      {30, "30s_2m"},
        {119.9, "30s_2m"},      {120, "2m_10m"},
        {599.9, "2m_10m"},      {600, "10m+"},
        {1e12, "10m+"},         {std::numeric_limits<double>::infinity(), "10m+"},
        {std::nan(""), "10m+"},
    };
    for (const auto &[seconds, label] : cases) {
        EXPECT_EQ(AnalyticsBuckets::duration(seconds), label) << seconds;
    }
}

}  // namespace
}  // namespace tarnwick
