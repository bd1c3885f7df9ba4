#include "FixtureTree.h"
#include "ScopedMount.h"
#include "core/FileSystemSnapshot.h"
#include "core/Iso8601.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using testing::ScopedMount;
using Clock = std::chrono::system_clock;

FileSystemSnapshot captureNow(const std::string &path)
{
    return FileSystemSnapshot::capture(path, Clock::now());
}

void setModificationTime(const std::string &path, time_t seconds, long nanoseconds)
{
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(FileSystemSnapshotCapture, RecordsTheEntryAtTheNormalizedPathAndKeepsThePathAsGiven)
{
    FixtureTree tree;
    tree.folder("a/b");
    const std::string file = tree.file("a/c", 5000);
    setModificationTime(file, 1700000000, 123456789);

    const std::string given = tree.path("a/./b/../c");
    const auto snapshot = captureNow(given);
    struct stat status {};
    ASSERT_EQ(::lstat(file.c_str(), &status), 0);

    EXPECT_EQ(snapshot.path, given);
    EXPECT_EQ(snapshot.canonicalPath, file);
    EXPECT_EQ(snapshot.inode, status.st_ino);
    EXPECT_EQ(snapshot.fileID, status.st_ino);
    EXPECT_EQ(snapshot.deviceID, status.st_dev);
    EXPECT_EQ(snapshot.entryType, FileSystemEntryType::regularFile);
    EXPECT_EQ(snapshot.logicalSize, 5000);
    EXPECT_EQ(snapshot.allocatedSize, status.st_blocks * 512);
    EXPECT_EQ(snapshot.modificationTime, Clock::time_point(std::chrono::seconds(1700000000)) +
                                             std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(123456789)));
    EXPECT_FALSE(snapshot.isSymbolicLink);
    EXPECT_FALSE(snapshot.isMountPoint);
}

TEST(FileSystemSnapshotCapture, ALinkIsRecordedAsItselfAndAnUnallocatedFileByItsLength)
{
    FixtureTree tree;
    tree.folder("target");
    const auto link = captureNow(tree.symlink("link", tree.path("target")));
    EXPECT_EQ(link.entryType, FileSystemEntryType::symbolicLink);
    EXPECT_TRUE(link.isSymbolicLink);

    const auto sparse = captureNow(tree.sparseFile("sparse", 1 << 20));
    EXPECT_EQ(sparse.logicalSize, 1 << 20);
    EXPECT_EQ(sparse.allocatedSize, sparse.logicalSize);
}

TEST(FileSystemSnapshotCapture, AnUnreadablePathThrows)
{
    FixtureTree tree;
    EXPECT_THROW(captureNow(tree.path("absent")), FileSystemSnapshotError);
}

TEST(FileSystemSnapshotCapture, TheRootAndAMountedVolumeAreMountPoints)
{
    EXPECT_TRUE(captureNow("/").isMountPoint);
    FixtureTree tree;
    const std::string point = tree.folder("mnt");
    const auto mount = ScopedMount::tmpfs(point);
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.why();
    }
    EXPECT_TRUE(captureNow(point).isMountPoint);
    EXPECT_EQ(captureNow(point).entryType, FileSystemEntryType::directory);
}

// One validation situation: the tree is built, the snapshot of `item` is taken, `change` runs, and
// the snapshot is validated at `current` against `root` (both relative to the tree).
struct ValidationCase {
    const char *name;
    std::function<void(FixtureTree &)> change;
    SnapshotValidationResult expected;
    const char *current = "root/item";
    const char *root = "root";
};

std::ostream &operator<<(std::ostream &out, const ValidationCase &c)
{
    return out << c.name;
}

class SnapshotValidation : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(SnapshotValidation, GivesTheFirstFailingCheck)
{
    const ValidationCase &c = GetParam();
    FixtureTree tree;
    tree.file("root/item/file", 100);
    tree.folder("root/elsewhere/sub");
    tree.file("root/elsewhere/x", 10);
    tree.symlink("root/hop", "elsewhere/sub");
    tree.folder("outside");
    const auto snapshot = captureNow(tree.path("root/item"));
    if (c.change) {
        c.change(tree);
    }
    std::unique_ptr<ScopedMount> mount;
    if (c.expected == SnapshotValidationResult::mountPoint) {
        mount = std::make_unique<ScopedMount>(ScopedMount::tmpfs(tree.path("root/item")));
        if (!mount->mounted()) {
            GTEST_SKIP() << mount->why();
        }
    }
    EXPECT_EQ(snapshot.validate(tree.path(c.current), tree.path(c.root)), c.expected);
}

void replaceWithNewFolder(FixtureTree &tree)
{
    testing::runCommand("rm -rf " + testing::shellQuote(tree.path("root/item")));
    tree.file("root/item/file", 100);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SnapshotValidation,
    ::testing::Values(
        ValidationCase{"Unchanged", nullptr, SnapshotValidationResult::valid},
        ValidationCase{"TheApprovedRootItself", nullptr, SnapshotValidationResult::valid, "root/item", "root/item"},
        ValidationCase{"HardLinkAddedElsewhere", [](FixtureTree &fixture) { fixture.hardlink("root/item2", "root/item/file"); },
                       SnapshotValidationResult::valid},
        ValidationCase{"Deleted", [](FixtureTree &fixture) { testing::runCommand("rm -rf " + fixture.path("root/item")); },
                       SnapshotValidationResult::missing},
        ValidationCase{"ReplacedByANewFolder", replaceWithNewFolder, SnapshotValidationResult::changed},
        ValidationCase{"ModificationTimeTouched",
                       [](FixtureTree &fixture) { setModificationTime(fixture.path("root/item"), 1000000000, 1); },
                       SnapshotValidationResult::changed},
        ValidationCase{"ContentAddedSoTheFolderChanged", [](FixtureTree &fixture) { fixture.file("root/item/new", 1); },
                       SnapshotValidationResult::changed},
        ValidationCase{"ReplacedByALinkToAFolder",
                       [](FixtureTree &fixture) {
                           testing::runCommand("rm -rf " + fixture.path("root/item"));
                           fixture.symlink("root/item", fixture.path("outside"));
                       },
                       SnapshotValidationResult::symbolicLink},
        ValidationCase{"ReplacedByADanglingLink",
                       [](FixtureTree &fixture) {
                           testing::runCommand("rm -rf " + fixture.path("root/item"));
                           fixture.symlink("root/item", fixture.path("nowhere"));
                       },
                       SnapshotValidationResult::symbolicLink},
        ValidationCase{"MountedOver", nullptr, SnapshotValidationResult::mountPoint},
        ValidationCase{"OutsideTheApprovedRoot", nullptr, SnapshotValidationResult::pathEscape, "root/item",
                       "outside"},
        ValidationCase{"SiblingSharingThePrefix", nullptr, SnapshotValidationResult::pathEscape, "root/item",
                       "root/ite"},
        ValidationCase{"DotDotLeavingTheRoot", nullptr, SnapshotValidationResult::pathEscape, "outside/../root/item",
                       "outside"},
        ValidationCase{"OutsideAndGone", [](FixtureTree &fixture) { testing::runCommand("rm -rf " + fixture.path("root/item")); },
                       SnapshotValidationResult::pathEscape, "root/item", "outside"},
        // root/hop/../x normalizes to root/x, where nothing is, yet the system, following the link
        // first, finds root/elsewhere/x: something is there that the lexical path cannot read.
        ValidationCase{"ExistsOnlyThroughALink", nullptr, SnapshotValidationResult::inaccessible, "root/hop/../x"}),
    [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(FileSystemSnapshotUniqueSize, CountsEachEntryOnceWithItsFirstSize)
{
    FixtureTree tree;
    tree.file("one", 10000);
    tree.hardlink("two", "one");
    tree.file("other", 5000);
    const auto one = captureNow(tree.path("one"));
    const auto two = captureNow(tree.path("two"));
    const auto other = captureNow(tree.path("other"));
    EXPECT_EQ(FileSystemSnapshot::uniqueAllocatedSize({}), 0);
    EXPECT_EQ(FileSystemSnapshot::uniqueAllocatedSize({one, two, one}), one.allocatedSize);
    EXPECT_EQ(FileSystemSnapshot::uniqueAllocatedSize({one, other, two}), one.allocatedSize + other.allocatedSize);
}

FileSystemSnapshot wholeSecondSnapshot()
{
    FileSystemSnapshot snapshot;
    snapshot.path = "/p/./node_modules";
    snapshot.canonicalPath = "/p/node_modules";
    snapshot.fileID = 18446744073709551615ull;
    snapshot.deviceID = 2049;
    snapshot.inode = 18446744073709551615ull;
    snapshot.hardLinkCount = 3;
    snapshot.entryType = FileSystemEntryType::directory;
    snapshot.allocatedSize = 4096;
    snapshot.logicalSize = 4096;
    snapshot.modificationTime = Clock::time_point(std::chrono::seconds(1714555800));
    snapshot.isSymbolicLink = false;
    snapshot.isMountPoint = true;
    snapshot.scanTime = Clock::time_point(std::chrono::seconds(-86401));
    return snapshot;
}

TEST(FileSystemSnapshotJson, WritesEveryKeyInOrderWithIsoTimesAndReadsItBack)
{
    const auto snapshot = wholeSecondSnapshot();
    const std::string text = snapshot.toJson().dump();
    EXPECT_EQ(text, R"({"path":"/p/./node_modules","canonicalPath":"/p/node_modules","fileID":18446744073709551615,)"
                    R"("deviceID":2049,"inode":18446744073709551615,"hardLinkCount":3,"entryType":"directory",)"
                    R"("allocatedSize":4096,"logicalSize":4096,"modificationTime":"2024-05-01T09:30:00Z",)"
                    R"("isSymbolicLink":false,"isMountPoint":true,"scanTime":"1969-12-30T23:59:59Z"})");
    EXPECT_EQ(FileSystemSnapshot::fromJson(nlohmann::ordered_json::parse(text)), snapshot);
}

TEST(FileSystemSnapshotJson, DropsTheFractionOfASecond)
{
    auto snapshot = wholeSecondSnapshot();
    snapshot.modificationTime += std::chrono::milliseconds(999);
    EXPECT_EQ(snapshot.toJson()["modificationTime"], "2024-05-01T09:30:00Z");
}

class DamagedSnapshotJson : public ::testing::TestWithParam<std::pair<const char *, nlohmann::ordered_json>> {};

TEST_P(DamagedSnapshotJson, FailsTheWholeRecord)
{
    auto object = wholeSecondSnapshot().toJson();
    const auto &[key, value] = GetParam();
    if (value.is_discarded()) {
        object.erase(key);
    } else {
        object[key] = value;
    }
    EXPECT_EQ(FileSystemSnapshot::fromJson(object), std::nullopt);
}

using J = nlohmann::ordered_json;
INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedSnapshotJson,
    ::testing::Values(std::pair{"scanTime", J(J::value_t::discarded)}, std::pair{"path", J(J::value_t::discarded)},
                      std::pair{"fileID", J("12")}, std::pair{"fileID", J(-1)}, std::pair{"inode", J(1.5)},
                      std::pair{"allocatedSize", J(true)}, std::pair{"allocatedSize", J(18446744073709551615ull)},
                      std::pair{"entryType", J("folder")}, std::pair{"isMountPoint", J(0)},
                      std::pair{"modificationTime", J("2024-05-01T09:30:00.5Z")},
                      std::pair{"modificationTime", J("2024-05-01T09:30:00+00:00")},
                      std::pair{"scanTime", J("2024-02-30T00:00:00Z")}, std::pair{"scanTime", J(1714555800)}));

}  // namespace
}  // namespace tarnwick
