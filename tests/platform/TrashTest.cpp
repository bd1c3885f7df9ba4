#include "platform/Trash.h"

#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "platform/UserFolders.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using testing::runCommand;
using testing::ScopedHome;
using testing::shellQuote;

std::string readText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool exists(const std::string &path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

mode_t permissions(const std::string &path)
{
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// Names, sizes and inodes of everything below a folder: equal snapshots mean nothing was disturbed.
std::string snapshot(const std::string &folder)
{
    return runCommand("cd " + shellQuote(folder) + " && find . -printf '%p %s %i %m\\n' | sort");
}

std::string homeTrash()
{
    return dataHomeFolder() + "/Trash";
}

// The Path= value of an info file, decoded by Python's URI decoder rather than by our own code.
std::string decodedInfoPath(const std::string &infoFile)
{
    const std::string text = readText(infoFile);
    const std::size_t start = text.find("\nPath=") + 6;
    const std::string encoded = text.substr(start, text.find('\n', start) - start);
    return runCommand("/usr/bin/python3 -c 'import sys, urllib.parse; "
                      "sys.stdout.buffer.write(urllib.parse.unquote_to_bytes(sys.argv[1]))' " +
                      shellQuote(encoded));
}

std::string caseName(const std::string &label)
{
    std::string name;
    for (const char c : label) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

// --- Round trip through trash-cli, for names it can represent ---

struct RoundTripCase {
    std::string label;
    std::string parent;
    std::string item;
};

void PrintTo(const RoundTripCase &testCase, std::ostream *out)
{
    *out << testCase.label;
}

bool isValidUtf8(const std::string &text)
{
    int status = -1;
    runCommand("/usr/bin/python3 -c 'import sys; sys.argv[1].encode()' " + shellQuote(text) + " 2>/dev/null", &status);
    return status == 0;
}

std::string repeated(const std::string &text, int count)
{
    std::string result;
    while (count-- > 0) {
        result += text;
    }
    return result;
}

class TrashRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(TrashRoundTrip, TrashCliListsAndRestoresTheExactPath)
{
    ScopedHome home;
    FixtureTree tree;
    const std::string relative = GetParam().parent + "/" + GetParam().item;
    const std::string path = tree.folder(relative);
    tree.file(relative + "/pkg/index.js", 3000, 'j');
    const std::string before = snapshot(path);

    const TrashMoveResult result = moveToTrash(path);
    ASSERT_TRUE(result.succeeded()) << result.message;
    EXPECT_FALSE(exists(path));
    const std::string trashedName = result.trashedPath.substr(result.trashedPath.rfind('/') + 1);
    EXPECT_EQ(result.trashedPath, homeTrash() + "/files/" + trashedName);
    EXPECT_EQ(GetParam().item.rfind(trashedName, 0), 0U) << trashedName;
    EXPECT_TRUE(isValidUtf8(trashedName)) << trashedName;
    EXPECT_EQ(snapshot(result.trashedPath), before);
    for (const char *folder : {"", "/files", "/info"}) {
        EXPECT_EQ(permissions(homeTrash() + folder), 0700U) << folder;
    }
    const std::string info = homeTrash() + "/info/" + trashedName + ".trashinfo";
    EXPECT_TRUE(
        std::regex_match(readText(info), std::regex("\\[Trash Info\\]\nPath=[-A-Za-z0-9_.~/%]+\n"
                                                    "DeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n")))
        << readText(info);

    EXPECT_NE(runCommand("trash-list").find(" " + path + "\n"), std::string::npos) << runCommand("trash-list");
    runCommand("cd / && echo 0 | trash-restore " + shellQuote(path) + " >/dev/null");
    EXPECT_EQ(snapshot(path), before);
    EXPECT_FALSE(exists(result.trashedPath));
}

INSTANTIATE_TEST_SUITE_P(
    Names, TrashRoundTrip,
    ::testing::Values(RoundTripCase{"spaces", "my projects/app one", "node_modules"},
                      RoundTripCase{"percent signs", "100% done/%41%2F", "build"},
                      RoundTripCase{"plus signs", "c++/a+b", "target"},
                      RoundTripCase{"non-ASCII letters", "Ünïcødé/проект ✓", ".gradle"},
                      // Longer than NAME.N.trashinfo allows: the name in the trash is shortened
                      // (never inside a UTF-8 character) and the restore brings the full name back.
                      RoundTripCase{"long ASCII name", "long", std::string(250, 'n')},
                      RoundTripCase{"long UTF-8 name", "long", "xx" + repeated("é", 124)}),
    [](const auto &testCase) { return caseName(testCase.param.label); });

// --- Names trash-cli cannot represent: the recorded bytes must still be exact ---

class TrashRawNames : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(TrashRawNames, InfoPathDecodesToTheOriginalBytes)
{
    ScopedHome home;
    FixtureTree tree;
    const std::string path = tree.folder(GetParam().second + "/" + GetParam().second);
    tree.file(GetParam().second + "/" + GetParam().second + "/data", 100);

    const TrashMoveResult result = moveToTrash(path);
    ASSERT_TRUE(result.succeeded()) << result.message;
    EXPECT_EQ(result.trashedPath, homeTrash() + "/files/" + GetParam().second);
    EXPECT_TRUE(exists(result.trashedPath + "/data"));
    EXPECT_EQ(decodedInfoPath(homeTrash() + "/info/" + GetParam().second + ".trashinfo"), path);
}

INSTANTIATE_TEST_SUITE_P(Names, TrashRawNames,
                         ::testing::Values(std::pair{"newline", "line\nbreak"},
                                           std::pair{"invalid UTF-8", "bad\xff\xfe name"},
                                           std::pair{"escape lookalikes", "%41%2F%zz"}),
                         [](const auto &testCase) { return caseName(testCase.param.first); });

// --- Name choice: the first name free in both files/ and info/, never disturbing what is there ---

struct CollisionCase {
    std::string label;
    std::vector<std::string> existingFiles; // entries of files/ before the moves
    std::vector<std::string> existingInfos; // names whose info file exists before the moves
    std::vector<std::string> expectedNames; // one move per name, in order
};

void PrintTo(const CollisionCase &testCase, std::ostream *out)
{
    *out << testCase.label;
}

class TrashNames : public ::testing::TestWithParam<CollisionCase> {};

TEST_P(TrashNames, TakesTheFirstFreeNameAndLeavesOthersAlone)
{
    ScopedHome home;
    FixtureTree tree;
    const std::string trash = shellQuote(homeTrash());
    runCommand("mkdir -p " + trash + "/files " + trash + "/info");
    for (const std::string &name : GetParam().existingFiles) {
        runCommand("mkdir " + trash + "/files/" + name + " && echo kept > " + trash + "/files/" + name + "/keep");
    }
    for (const std::string &name : GetParam().existingInfos) {
        runCommand("printf '[Trash Info]\\nPath=/elsewhere/x\\n' > " + trash + "/info/" + name + ".trashinfo");
    }
    const std::string before = snapshot(homeTrash());

    for (std::size_t i = 0; i < GetParam().expectedNames.size(); ++i) {
        const std::string path = tree.folder("project" + std::to_string(i) + "/build");
        tree.file("project" + std::to_string(i) + "/build/marker", 5 + static_cast<int64_t>(i));
        const TrashMoveResult result = moveToTrash(path);
        ASSERT_TRUE(result.succeeded()) << result.message;
        const std::string &name = GetParam().expectedNames[i];
        EXPECT_EQ(result.trashedPath, homeTrash() + "/files/" + name);
        struct stat marker {};
        ASSERT_EQ(::stat((result.trashedPath + "/marker").c_str(), &marker), 0);
        EXPECT_EQ(marker.st_size, static_cast<off_t>(5 + i));
        EXPECT_EQ(decodedInfoPath(homeTrash() + "/info/" + name + ".trashinfo"), path);
    }
    // Every earlier line of the snapshot is still there, unchanged.
    const std::string after = snapshot(homeTrash());
    std::istringstream lines(before);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("./files ", 0) != 0 && line.rfind("./info ", 0) != 0 && line.rfind(". ", 0) != 0) {
            EXPECT_NE(after.find(line + "\n"), std::string::npos) << line;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Collisions, TrashNames,
                         ::testing::Values(CollisionCase{"same name twice", {}, {}, {"build", "build.2"}},
                                           CollisionCase{"earlier item and orphans",
                                                         {"build", "build.2"},
                                                         {"build", "build.3"},
                                                         {"build.4", "build.5"}}),
                         [](const auto &testCase) { return caseName(testCase.param.label); });

// --- Identity: a move that carries one touches nothing else ---

struct IdentityCase {
    std::string label;
    void (*replace)(FixtureTree &tree); // runs after the identity was taken; may do nothing
    bool moves;
};

void PrintTo(const IdentityCase &testCase, std::ostream *out)
{
    *out << testCase.label;
}

class TrashIdentity : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(TrashIdentity, MovesOnlyTheScannedEntry)
{
    ScopedHome home;
    FixtureTree tree;
    const std::string path = tree.folder("app/node_modules");
    tree.file("app/node_modules/a", 100);
    struct stat scanned {};
    ASSERT_EQ(::lstat(path.c_str(), &scanned), 0);
    GetParam().replace(tree);
    const std::string before = snapshot(tree.root());

    const TrashMoveResult result = moveToTrash(path, FileIdentity{scanned.st_dev, scanned.st_ino});
    EXPECT_EQ(result.succeeded(), GetParam().moves) << result.message;
    if (!GetParam().moves) {
        EXPECT_EQ(result.error, ESTALE);
        EXPECT_EQ(result.message, "It changed since it was scanned; nothing was deleted");
        EXPECT_TRUE(result.trashedPath.empty());
        EXPECT_EQ(snapshot(tree.root()), before);
        EXPECT_EQ(runCommand("find " + shellQuote(homeTrash()) + " -mindepth 2 2>/dev/null"), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TrashIdentity,
                         ::testing::Values(IdentityCase{"unchanged", [](FixtureTree &) {}, true},
                                           IdentityCase{"replaced by another folder",
                                                        [](FixtureTree &tree) {
                                                            ::rename(tree.path("app/node_modules").c_str(),
                                                                     tree.path("app/old").c_str());
                                                            tree.folder("app/node_modules");
                                                        },
                                                        false},
                                           // Followed, the link would show the scanned folder's identity.
                                           IdentityCase{"replaced by a link to it",
                                                        [](FixtureTree &tree) {
                                                            ::rename(tree.path("app/node_modules").c_str(),
                                                                     tree.path("app/old").c_str());
                                                            tree.symlink("app/node_modules", tree.path("app/old"));
                                                        },
                                                        false}),
                         [](const auto &testCase) { return caseName(testCase.param.label); });

TEST(Trash, MovesALinkItselfNotItsTarget)
{
    ScopedHome home;
    FixtureTree tree;
    tree.file("real/data", 4096);
    const std::string link = tree.symlink("project/cache", tree.path("real"));

    const TrashMoveResult result = moveToTrash(link);
    ASSERT_TRUE(result.succeeded()) << result.message;
    struct stat moved {};
    ASSERT_EQ(::lstat(result.trashedPath.c_str(), &moved), 0);
    EXPECT_TRUE(S_ISLNK(moved.st_mode));
    EXPECT_TRUE(exists(tree.path("real/data")));
}

TEST(Trash, RefusesWhatCannotBeTrashedAndLeavesItInPlace)
{
    ScopedHome home;
    FixtureTree tree;
    const TrashMoveResult first = moveToTrash(tree.folder("build"));
    ASSERT_TRUE(first.succeeded()) << first.message;
    const std::string before = snapshot(homeTrash());

    const TrashMoveResult again = moveToTrash(first.trashedPath);
    EXPECT_EQ(again.error, EINVAL);
    EXPECT_EQ(again.message, "The item is already in the Trash.");
    EXPECT_EQ(moveToTrash(homeTrash() + "/info").error, EINVAL);
    EXPECT_EQ(moveToTrash(dataHomeFolder()).error, EINVAL);
    const TrashMoveResult missing = moveToTrash(tree.path("absent"));
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.message, std::strerror(ENOENT));
    EXPECT_EQ(snapshot(homeTrash()), before);
}

TEST(Trash, RecordsTrashedFolderSizesForReaders)
{
    ScopedHome home;
    FixtureTree tree;
    runCommand("mkdir -p " + shellQuote(homeTrash()) + " && echo '123 456 other%20folder' > " +
               shellQuote(homeTrash() + "/directorysizes"));
    tree.file("a/my dir/blob", 100000);
    tree.file("a/my dir/sub/small", 10);
    tree.hardlink("a/my dir/sub/again", "a/my dir/blob");
    tree.symlink("a/my dir/outside", "/usr");
    tree.file("a/loose file", 5000);

    const TrashMoveResult folder = moveToTrash(tree.path("a/my dir"));
    ASSERT_TRUE(folder.succeeded()) << folder.message;
    ASSERT_TRUE(moveToTrash(tree.path("a/loose file")).succeeded());

    struct stat info {};
    ASSERT_EQ(::stat((homeTrash() + "/info/my dir.trashinfo").c_str(), &info), 0);
    const std::string du = runCommand("du -s -B1 " + shellQuote(folder.trashedPath) + " | cut -f1");
    EXPECT_EQ(readText(homeTrash() + "/directorysizes"), "123 456 other%20folder\n" + du.substr(0, du.size() - 1) +
                                                             " " + std::to_string(info.st_mtime) + " my%20dir\n");
}

// --- Other volumes: a tmpfs mounted for the test ---

class ScopedTmpfs {
public:
    explicit ScopedTmpfs(std::string where) : m_where(std::move(where))
    {
        m_mounted = ::mount("tmpfs", m_where.c_str(), "tmpfs", 0, "size=16m,mode=0755") == 0;
    }
    ~ScopedTmpfs()
    {
        if (m_mounted) {
            ::umount2(m_where.c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return m_mounted; }

private:
    std::string m_where;
    bool m_mounted = false;
};

struct VolumeCase {
    std::string label;
    void (*prepare)(FixtureTree &tree); // runs on the mounted volume before the move
    std::string trashFolder;            // relative to the volume's top; empty: the move must fail
    int error;
};

void PrintTo(const VolumeCase &testCase, std::ostream *out)
{
    *out << testCase.label;
}

class TrashOnVolume : public ::testing::TestWithParam<VolumeCase> {};

TEST_P(TrashOnVolume, UsesTheVolumesOwnTrashOrFailsUntouched)
{
    ScopedHome home;
    FixtureTree tree;
    const std::string top = tree.folder("volume");
    ScopedTmpfs volume(top);
    if (!volume.mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno) << ")";
    }
    const std::string path = tree.folder("volume/proj/node_modules");
    tree.file("volume/proj/node_modules/lib", 2000);
    GetParam().prepare(tree);
    const std::string before = snapshot(top);

    const TrashMoveResult result = moveToTrash(path);
    EXPECT_FALSE(exists(homeTrash()));
    if (GetParam().trashFolder.empty()) {
        EXPECT_EQ(result.error, GetParam().error);
        EXPECT_EQ(result.message, "There is no usable Trash on its volume (" +
                                      std::string(std::strerror(GetParam().error)) + "); it was left untouched");
        EXPECT_EQ(snapshot(top), before);
        return;
    }
    ASSERT_TRUE(result.succeeded()) << result.message;
    const std::string trash = top + "/" + GetParam().trashFolder;
    EXPECT_EQ(result.trashedPath, trash + "/files/node_modules");
    EXPECT_EQ(permissions(trash), 0700U);
    EXPECT_EQ(readText(trash + "/info/node_modules.trashinfo").substr(0, 37),
              "[Trash Info]\nPath=proj/node_modules\nD");
    EXPECT_NE(runCommand("trash-list").find(" " + path + "\n"), std::string::npos) << runCommand("trash-list");
}

INSTANTIATE_TEST_SUITE_P(
    Volumes, TrashOnVolume,
    ::testing::Values(VolumeCase{"no shared trash", [](FixtureTree &) {}, ".Trash-0", 0},
                      VolumeCase{"sticky shared trash", [](FixtureTree &tree) { tree.folder("volume/.Trash", 01777); },
                                 ".Trash/0", 0},
                      VolumeCase{"shared trash without sticky bit",
                                 [](FixtureTree &tree) { tree.folder("volume/.Trash", 0777); }, ".Trash-0", 0},
                      VolumeCase{"shared trash is a link",
                                 [](FixtureTree &tree) {
                                     tree.folder("volume/elsewhere", 01777);
                                     tree.symlink("volume/.Trash", "elsewhere");
                                 },
                                 ".Trash-0", 0},
                      VolumeCase{"own trash belongs to another user",
                                 [](FixtureTree &tree) {
                                     tree.folder("volume/.Trash-0", 0777);
                                     ::chown(tree.path("volume/.Trash-0").c_str(), 65534, 65534);
                                 },
                                 "", EPERM},
                      VolumeCase{"read-only volume",
                                 [](FixtureTree &tree) {
                                     ::mount(nullptr, tree.path("volume").c_str(), nullptr, MS_REMOUNT | MS_RDONLY,
                                             nullptr);
                                 },
                                 "", EROFS}),
    [](const auto &testCase) { return caseName(testCase.param.label); });

} // namespace
} // namespace tarnwick
