#include "ui/RelativeDateText.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using namespace std::chrono_literals;

struct RelativeCase {
    std::chrono::seconds offset;
    const char *expected;
};

class RelativeDateTextTest : public ::testing::TestWithParam<RelativeCase> {};

TEST_P(RelativeDateTextTest, NamesTheLargestWholeUnit)
{
    const Timestamp now = std::chrono::system_clock::from_time_t(1'700'000'000);
    EXPECT_EQ(ui::relativeDateText(now + GetParam().offset, now).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, RelativeDateTextTest,
    ::testing::Values(RelativeCase{0s, "now"}, RelativeCase{-30s, "30 seconds ago"},
                      RelativeCase{-59min, "59 minutes ago"}, RelativeCase{2h + 5min, "in 2 hours"},
                      RelativeCase{-24h, "yesterday"}, RelativeCase{-47h, "yesterday"},
                      RelativeCase{-72h, "3 days ago"}, RelativeCase{24h * 8, "next week"},
                      RelativeCase{-24h * 20, "2 weeks ago"}, RelativeCase{-24h * 64, "2 months ago"},
                      RelativeCase{-24h * 364, "11 months ago"}, RelativeCase{-24h * 800, "2 years ago"}));

}  // namespace
}  // namespace tarnwick
