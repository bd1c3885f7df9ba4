#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "engine/Tarnwicker.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

namespace tarnwick {
namespace {

using testing::FixtureTree;

std::vector<ScanProgress> measureRecording(const std::string &path, int64_t *size = nullptr)
{
    std::vector<ScanProgress> records;
    CancellationToken token;
    const int64_t measured =
        Tarnwicker::measurePath(path, 7, 3, [&](const ScanProgress &p) { records.push_back(p); }, token);
    if (size != nullptr) {
        *size = measured;
    }
    return records;
}

TEST(SizeMeasurement, MatchesDuPlusTheLogicalLengthOfBlocklessEntries)
{
    FixtureTree tree;
    tree.folder("m/empty");
    tree.file("m/one-byte", 1);
    tree.file("m/zero-bytes", 0);
    tree.file("m/big", 3'000'000);
    tree.sparseFile("m/sparse", 5'000'000);  // no blocks: counts its logical length
    tree.hardlink("m/big-again", "m/big");  // counted once per path
    tree.file("elsewhere/huge", 20'000'000);
    tree.symlink("m/link-to-huge", tree.path("elsewhere"));
    tree.symlink("m/dangling", "/does/not/exist");
    tree.symlink("m/loop", "loop");
    tree.fifo("m/pipe");
    tree.socket("m/sock");
    tree.file("m/deep/a/b/c/d/e/f", 12345);
    tree.file("m/name\nwith newline", 10);
    tree.file(std::string("m/bad-\xff\xfe-utf8/x"), 4097);

    int64_t size = 0;
    measureRecording(tree.path("m"), &size);
    EXPECT_EQ(size, testing::referenceSize(tree.path("m")));
    EXPECT_GE(size, 2 * 3'000'000);
    EXPECT_LT(size, 20'000'000);  // the link to the big folder adds only itself
}

TEST(SizeMeasurement, EmptyFolderIsItsOwnEntry)
{
    FixtureTree tree;
    const auto folder = tree.folder("e");
    int64_t size = 0;
    const auto records = measureRecording(folder, &size);
    EXPECT_EQ(size, Tarnwicker::fileSystemSize(folder));
    EXPECT_GT(size, 0);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].message, "Checking size of e");
    EXPECT_EQ(records[1].message, "Finished checking e");
    EXPECT_EQ(records[1].bytesSoFar, size);
    EXPECT_EQ(records[1].visitedDirs, 7);
    EXPECT_EQ(records[1].matchedDirs, 3);
}

struct CadenceCase {
    int topLevelFiles;
    int nestedFiles;  // inside a sub-folder, which is itself one entry
    std::vector<int64_t> intermediate;
};

void PrintTo(const CadenceCase &c, std::ostream *out)
{
    *out << c.topLevelFiles << " files + " << c.nestedFiles << " nested";
}

class MeasurementCadence : public ::testing::TestWithParam<CadenceCase> {};

TEST_P(MeasurementCadence, OneRecordPer250Entries)
{
    FixtureTree tree;
    tree.folder("node_modules");
    for (int i = 0; i < GetParam().topLevelFiles; ++i) {
        tree.file("node_modules/f" + std::to_string(i));
    }
    for (int i = 0; i < GetParam().nestedFiles; ++i) {
        tree.file("node_modules/sub/g" + std::to_string(i));
    }
    const auto records = measureRecording(tree.path("node_modules"));
    std::vector<int64_t> intermediate;
    for (std::size_t i = 1; i + 1 < records.size(); ++i) {
        intermediate.push_back(records[i].measuredEntries);
        EXPECT_EQ(records[i].message, "Checked " + std::to_string(records[i].measuredEntries) + " items in node_modules");
        EXPECT_EQ(records[i].currentPath, tree.path("node_modules"));
        EXPECT_TRUE(records[i].currentItem.starts_with(tree.path("node_modules") + "/")) << records[i].currentItem;
        EXPECT_EQ(::access(records[i].currentItem.c_str(), F_OK), 0) << records[i].currentItem;
        EXPECT_EQ(records[i].phase, OperationPhase::measuring);
    }
    EXPECT_EQ(intermediate, GetParam().intermediate);
    EXPECT_EQ(records.back().measuredEntries, GetParam().topLevelFiles + GetParam().nestedFiles +
                                                  (GetParam().nestedFiles > 0 ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(Entries, MeasurementCadence,
                         ::testing::Values(CadenceCase{249, 0, {}}, CadenceCase{250, 0, {250}},
                                           CadenceCase{100, 398, {250}}, CadenceCase{300, 300, {250, 500}}),
                         [](const ::testing::TestParamInfo<CadenceCase> &caseInfo) {
                             return "Top" + std::to_string(caseInfo.param.topLevelFiles) + "Nested" +
                                    std::to_string(caseInfo.param.nestedFiles);
                         });

TEST(SizeMeasurement, UnreadableSubfolderCountsOnlyItself)
{
    FixtureTree tree;
    tree.openToEveryone();
    tree.file("m/visible", 8192);
    tree.file("m/locked/hidden", 1'000'000);
    tree.chmod("m/locked", 0000);

    const std::string folder = tree.path("m");
    bool ran = false;
    const std::string output = testing::runUnprivileged(
        "measure",
        [&folder](int fd) {
            CancellationToken token;
            const auto size = Tarnwicker::measurePath(folder, 0, 0, {}, token);
            const std::string text = std::to_string(size);
            (void)!::write(fd, text.data(), text.size());
        },
        ran);
    if (!ran) {
        GTEST_SKIP() << "cannot drop privileges here; run the suite as root to test unreadable folders";
    }
    const int64_t expected = Tarnwicker::fileSystemSize(tree.path("m")) +
                             Tarnwicker::fileSystemSize(tree.path("m/visible")) +
                             Tarnwicker::fileSystemSize(tree.path("m/locked"));
    EXPECT_EQ(std::stoll(output), expected);
}

TEST(SizeMeasurement, CancellationStopsWithinOneEntry)
{
    FixtureTree tree;
    for (int i = 0; i < 3000; ++i) {
        tree.file("m/d" + std::to_string(i % 10) + "/f" + std::to_string(i));
    }
    CancellationToken token;
    int64_t entriesAfterCancel = -1;
    int64_t cancelledAt = 0;
    EXPECT_THROW(Tarnwicker::measurePath(
                     tree.path("m"), 0, 0,
                     [&](const ScanProgress &p) {
                         if (p.measuredEntries == 500) {
                             token.cancel();
                             cancelledAt = p.measuredEntries;
                         } else if (cancelledAt > 0) {
                             entriesAfterCancel = p.measuredEntries;
                         }
                     },
                     token),
                 CancellationError);
    EXPECT_EQ(cancelledAt, 500);
    EXPECT_EQ(entriesAfterCancel, -1) << "no record, not even the final one, after cancelling";
}

}  // namespace
}  // namespace tarnwick
