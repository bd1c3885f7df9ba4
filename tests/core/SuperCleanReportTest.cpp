#include "TestNames.h"
#include "core/ByteCountFormatter.h"
#include "core/SuperCleanCompletionReport.h"
#include "core/SuperCleanPrivacy.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

const std::string kTrashSentence = "Items moved to Trash still use storage until Trash is emptied.";

struct SummaryCase {
    std::string label;
    SuperCleanCompletionReport report;
    std::string expected;
};

class SummaryTextTest : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(SummaryTextTest, SaysOnlyWhatHappened)
{
    EXPECT_EQ(GetParam().report.summaryText(), GetParam().expected);
}

SuperCleanCompletionReport report(int64_t moved, int64_t movedBytes, int64_t skipped = 0, int64_t failed = 0,
                                  int64_t change = 0, int64_t reclaimed = 0)
{
    SuperCleanCompletionReport r;
    r.movedCount = moved;
    r.movedToTrashBytes = movedBytes;
    r.skippedCount = skipped;
    r.failedCount = failed;
    r.observedAvailableSpaceChange = change;
    r.permanentlyReclaimedBytes = reclaimed;
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    Reports, SummaryTextTest,
    ::testing::Values(
        SummaryCase{"one item", report(1, 4096), "1 item moved to Trash, 4 KB. " + kTrashSentence},
        SummaryCase{"nothing at all", report(0, 0), "0 items moved to Trash, 0 bytes. " + kTrashSentence},
        SummaryCase{"skipped without failures", report(2, 2'000'000, 1),
                    "2 items moved to Trash, 2.0 MB. " + kTrashSentence + " 1 skipped, 0 failed."},
        SummaryCase{"failed without skips", report(0, 0, 0, 3),
                    "0 items moved to Trash, 0 bytes. " + kTrashSentence + " 0 skipped, 3 failed."},
        SummaryCase{"negative observed change", report(1, 4096, 0, 0, -4096),
                    "1 item moved to Trash, 4 KB. " + kTrashSentence + " Observed available-space change: " +
                        formatByteCount(-4096) + "."},
        SummaryCase{"every sentence", report(3, 3000, 1, 1, 5000, 1),
                    "3 items moved to Trash, 3 KB. " + kTrashSentence +
                        " 1 byte permanently reclaimed by explicitly confirmed tool actions."
                        " Observed available-space change: 5 KB. 1 skipped, 1 failed."}),
    testing::labelTestName<SummaryCase>);

TEST(SuperCleanPrivacy, SendsFiveBucketsAndNoPathOrName)
{
    const std::map<std::string, std::string> expected{
        {"result_count_bucket", "2-5"},   {"selected_size_bucket", "100mb_500mb"},
        {"category_count_bucket", "1"},   {"failure_count_bucket", "0"},
        {"duration_bucket", "5s_30s"},
    };
    EXPECT_EQ(SuperCleanPrivacy::analyticsProperties(4, 104'857'600, 1, 0, 5.0, {}, {}), expected);
    EXPECT_EQ(SuperCleanPrivacy::analyticsProperties(4, 104'857'600, 1, 0, 5.0, {"/home/me/secret"}, {"secret"}),
              expected);
}

}  // namespace
}  // namespace tarnwick
