#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "app/JsonFilePreferencesStore.h"

#include <QCoreApplication>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace tarnwick {
namespace {

using testing::FixtureTree;

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void writeFile(const std::string &path, const std::string &contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

PreferenceMap everyKind()
{
    using namespace std::chrono;
    return {
        {"flag", true},
        {"count", int64_t{9'007'199'254'740'993}},  // beyond a double's exact integers
        {"negative", int64_t{-5}},
        {"ratio", 2.0},
        {"digits", std::string("12345")},
        {"name", std::string("caf\xc3\xa9")},
        {"oddBytes", std::string("bad-\xff-name")},
        {"paths", std::vector<std::string>{"/a", "/b\nc", std::string("/\xfe")}},
        {"empty", std::vector<std::string>{}},
        {"when", PreferenceDate(duration_cast<system_clock::duration>(nanoseconds(1'733'450'000'123'456'000)))},
        {"blob", PreferenceData{std::string("\0\x01\xff{}", 5)}},
    };
}

TEST(JsonFilePreferencesStore, EveryKindSurvivesAWriteAndAFreshLoad)
{
    FixtureTree tree;
    const std::string file = tree.path("config/Tarnwick/preferences.json");
    {
        JsonFilePreferencesStore store(file);
        for (const auto &[key, value] : everyKind()) {
            store.set(key, value);
        }
        store.remove("negative");
        store.flush();
        EXPECT_TRUE(store.lastWriteSucceeded());
    }
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    JsonFilePreferencesStore reloaded(file);
    auto expected = everyKind();
    expected.erase("negative");
    for (const auto &[key, value] : expected) {
        EXPECT_EQ(reloaded.object(key), value) << key;
    }
    EXPECT_FALSE(reloaded.object("negative").has_value());
    EXPECT_EQ(reloaded.integer("digits"), 0) << "a string of digits is not a number";
    EXPECT_EQ(reloaded.integer("ratio"), 2);
    EXPECT_FALSE(reloaded.boolean("missing"));
    EXPECT_EQ(reloaded.string("flag"), std::nullopt);
}

struct DamagedFile {
    const char *name;
    std::string contents;
};

class DamagedPreferences : public ::testing::TestWithParam<DamagedFile> {};

TEST_P(DamagedPreferences, AreKeptAsideBeforeAnythingIsWritten)
{
    FixtureTree tree;
    const std::string file = tree.path("preferences.json");
    writeFile(file, GetParam().contents);

    JsonFilePreferencesStore store(file);
    EXPECT_FALSE(store.object("cleanupPreset").has_value()) << "defaults load";
    EXPECT_EQ(store.keptAsidePath(), file + ".corrupt");
    EXPECT_EQ(readFile(file + ".corrupt"), GetParam().contents);

    store.set("cleanupPreset", std::string("deep"));
    store.flush();
    EXPECT_EQ(JsonFilePreferencesStore(file).string("cleanupPreset"), "deep");
    EXPECT_EQ(readFile(file + ".corrupt"), GetParam().contents) << "the kept copy is never touched";

    // a second bad file does not replace the first kept copy
    writeFile(file, "{{{");
    JsonFilePreferencesStore again(file);
    EXPECT_EQ(again.keptAsidePath(), file + ".corrupt.2");
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedPreferences,
                         ::testing::Values(DamagedFile{"Truncated", R"({"cleanupPreset": "deep", "roo)"},
                                           DamagedFile{"Garbage", std::string("\x7f" "ELF\x01\x02\x00\xff", 8)},
                                           DamagedFile{"WrongShape", R"(["cleanupPreset", "deep"])"},
                                           DamagedFile{"Empty", ""}),
                         [](const ::testing::TestParamInfo<DamagedFile> &caseInfo) {
                             return std::string(caseInfo.param.name);
                         });

TEST(JsonFilePreferencesStore, WrongKindsPerKeyStayAsStored)
{
    FixtureTree tree;
    const std::string file = tree.path("preferences.json");
    writeFile(file, R"({"statsCleanedBytes": "123", "roots": [1, 2], "when": {"$date": "soon"}, "ok": 3})");
    JsonFilePreferencesStore store(file);
    EXPECT_EQ(store.keptAsidePath(), "");
    EXPECT_EQ(store.string("statsCleanedBytes"), "123");
    EXPECT_EQ(store.integer("statsCleanedBytes"), 0);
    EXPECT_FALSE(store.object("roots").has_value());
    EXPECT_FALSE(store.object("when").has_value());
    EXPECT_EQ(store.integer("ok"), 3);
}

TEST(JsonFilePreferencesStore, AnUnwritableFolderLeavesTheOldFileIntact)
{
    FixtureTree tree;
    tree.openToEveryone();
    const std::string folder = tree.folder("config", 0755);  // owned by root: not writable by nobody
    const std::string file = folder + "/preferences.json";
    const std::string original = R"({"cleanupPreset": "deep"})";
    writeFile(file, original);
    ::chmod(file.c_str(), 0644);

    bool ran = false;
    const std::string output = testing::runUnprivileged(
        "write",
        [&file](int fd) {
            JsonFilePreferencesStore store(file);
            const std::string before = store.string("cleanupPreset").value_or("?");
            store.set("cleanupPreset", std::string("safe"));
            store.flush();
            const std::string text = before + (store.lastWriteSucceeded() ? " written" : " not written");
            (void)!::write(fd, text.data(), text.size());
        },
        ran);
    if (!ran) {
        GTEST_SKIP() << "cannot drop privileges here";
    }
    EXPECT_EQ(output, "deep not written");
    EXPECT_EQ(readFile(file), original);

    // An unreadable file that cannot be moved aside is never overwritten either.
    ::chmod(file.c_str(), 0600);
    const std::string denied = testing::runUnprivileged(
        "unreadable",
        [&file](int fd) {
            JsonFilePreferencesStore store(file);
            store.set("cleanupPreset", std::string("safe"));
            store.flush();
            const std::string text = store.lastWriteSucceeded() ? "written" : "not written";
            (void)!::write(fd, text.data(), text.size());
        },
        ran);
    EXPECT_EQ(denied, "not written");
    EXPECT_EQ(readFile(file), original);
}

TEST(JsonFilePreferencesStore, ChangesOfOneTurnAreWrittenAfterIt)
{
    FixtureTree tree;
    const std::string file = tree.path("p.json");
    JsonFilePreferencesStore store(file);
    store.set("a", true);
    store.set("b", int64_t{2});
    store.remove("a");
    EXPECT_EQ(store.integer("b"), 2) << "read back at once";
    EXPECT_FALSE(std::filesystem::exists(file)) << "nothing written during the turn";
    QCoreApplication::processEvents();  // the turn ends: the save starts on the writer's thread
    store.flush();
    const JsonFilePreferencesStore reread(file);
    EXPECT_EQ(reread.integer("b"), 2);
    EXPECT_FALSE(reread.object("a").has_value());
}

// A dotfiles-managed preferences file is a link into the user's own folder: it stays a link, and
// its target, relative or absolute, gets the whole file, atomically, with its permissions kept.
TEST(JsonFilePreferencesStore, ALinkedFileIsWrittenWhereItLeads)
{
    FixtureTree tree;
    const std::string target = tree.file("dotfiles/tarnwick/preferences.json");
    writeFile(target, R"({"cleanupPreset": "deep"})");
    ::chmod(target.c_str(), 0640);
    tree.symlink("config/Tarnwick/preferences.json", "../../dotfiles/tarnwick/preferences.json");
    tree.symlink("absolute.json", target);
    for (const std::string &link : {tree.path("config/Tarnwick/preferences.json"), tree.path("absolute.json")}) {
        SCOPED_TRACE(link);
        JsonFilePreferencesStore store(link);
        EXPECT_EQ(store.string("cleanupPreset"), "deep");
        store.set("sortMode", std::string("path:" + link));
        store.flush();
        ASSERT_TRUE(store.lastWriteSucceeded());
        struct stat status {};
        ASSERT_EQ(::lstat(link.c_str(), &status), 0);
        EXPECT_TRUE(S_ISLNK(status.st_mode)) << "still a link";
        ASSERT_EQ(::stat(target.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0640u);
        EXPECT_EQ(JsonFilePreferencesStore(target).string("sortMode"), "path:" + link);
    }
    std::vector<std::string> left;
    for (const auto &entry : std::filesystem::directory_iterator(tree.path("dotfiles/tarnwick"))) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"preferences.json"}) << "no temporary file is left";

    // A link that leads nowhere yet gets its file.
    tree.symlink("dangling.json", "not-yet/preferences.json");
    JsonFilePreferencesStore(tree.path("dangling.json")).set("a", true);
    EXPECT_TRUE(JsonFilePreferencesStore(tree.path("not-yet/preferences.json")).boolean("a"));
}

TEST(JsonFilePreferencesStore, AFailedSaveIsKeptAndWrittenWithTheNextChange)
{
    FixtureTree tree;
    // A file where the folder should be: the save fails, for root too.
    tree.file("config");
    const std::string file = tree.path("config/Tarnwick/preferences.json");
    JsonFilePreferencesStore store(file);
    store.set("first", int64_t{1});
    store.flush();
    EXPECT_FALSE(store.lastWriteSucceeded());
    EXPECT_EQ(store.integer("first"), 1) << "the value stays for the run";

    std::filesystem::remove(tree.path("config"));
    store.set("second", int64_t{2});
    store.flush();
    EXPECT_TRUE(store.lastWriteSucceeded());
    const JsonFilePreferencesStore reread(file);
    EXPECT_EQ(reread.integer("first"), 1) << "the change whose save failed is not dropped";
    EXPECT_EQ(reread.integer("second"), 2);
}

}  // namespace
}  // namespace tarnwick
