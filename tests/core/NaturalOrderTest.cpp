#include "core/NaturalOrder.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

int sign(int value)
{
    return (value > 0) - (value < 0);
}

TEST(NaturalOrder, OrdersDigitsByValueAndIgnoresCase)
{
    struct Case {
        const char *a;
        const char *b;
        int expected;
    };
    const Case cases[] = {
        {"app2", "app10", -1},
        {"App2", "app10", -1},
        {"/Code/app9/node_modules", "/Code/app10/node_modules", -1},
        {"v1.9", "v1.10", -1},
        {"file007", "file8", -1},
        {"apple", "Banana", -1},  // by bytes 'B' would come first
        {"Zeta", "alpha", 1},
        {"résumé", "resumes", -1},  // the accent only decides when the letters tie
        {"cafe", "café", -1},
        {"café", "cafg", -1},
        {"same", "same", 0},
        {"", "a", -1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(sign(naturalCompare(c.a, c.b)), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(sign(naturalCompare(c.b, c.a)), -c.expected) << c.b << " vs " << c.a;
    }
}

TEST(NaturalOrder, IsTotalWhereTheCollatorSeesNoDifference)
{
    // Case-only differences and different stray bytes collate equal; the bytes still separate them,
    // so no two different names ever compare equal and sorting is deterministic.
    const std::pair<std::string, std::string> pairs[] = {
        {"App", "app"},
        {"CAFÉ", "café"},
        {"a\xfe", "a\xff"},
        {"x\xff"
         "y",
         "x\xfe"
         "y"},
        {"\xc3", "\xc3\x28"},
    };
    for (const auto &[a, b] : pairs) {
        EXPECT_NE(naturalCompare(a, b), 0) << a << " vs " << b;
        EXPECT_EQ(sign(naturalCompare(a, b)), -sign(naturalCompare(b, a)));
        EXPECT_EQ(sign(naturalCompare(a, b)), sign(a.compare(b))) << "bytes decide a collation tie";
    }
}

TEST(NaturalOrder, SortKeysOrderExactlyAsTheComparison)
{
    const std::vector<std::string> names = {
        "app10",  "app2",    "App2",     "APP2",      "app",          "",      "a",     "résumé",
        "resume", "Resume",  "resumes",  "café",      "cafe\xcc\x81", "b\xff", "b\xfe", "b\xef\xbf\xbd",
        "b",      "build-1", "build-01", "build 1",   "node_modules", "Pods",  "pods",  "ß",
        "ss",     "日本",    "x\xc3",    "x\xc3\xa9",
    };
    // Paths under one folder, keyed without it as a sort of many paths does.
    std::vector<std::string> paths;
    for (const auto &name : names) {
        paths.push_back("/home/Zoë/app2/" + name);
    }
    const std::size_t shared = naturalOrderSharedPrefix({paths.begin(), paths.end()});
    EXPECT_EQ(shared, std::string("/home/Zoë/app2/").size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (std::size_t j = 0; j < names.size(); ++j) {
            const auto &a = names[i];
            const auto &b = names[j];
            EXPECT_EQ(sign(naturalSortKey(a).compare(naturalSortKey(b))), sign(naturalCompare(a, b)))
                << "'" << a << "' vs '" << b << "'";
            const int byKey = naturalSortKey(paths[i].substr(shared)).compare(naturalSortKey(paths[j].substr(shared)));
            EXPECT_EQ(sign(byKey), sign(naturalCompare(paths[i], paths[j]))) << paths[i] << " vs " << paths[j];
        }
    }
}

TEST(NaturalOrder, SharedPrefixEndsAtAFolderAfterWhichNothingCombines)
{
    const std::pair<std::vector<std::string_view>, std::size_t> cases[] = {
        {{"/a/b/x", "/a/b/y", "/a/b/"}, 5},
        {{"/a/b1", "/a/b2"}, 3},  // never inside a name, where a digit run may go on
        {{"/a/b", "/a/b"}, 3},
        {{"/a/x", "/a/\xcc\x81y"}, 0},  // a combining accent would attach to what precedes it
        {{"/a/x", "/a/\xff"}, 3},
        {{"abc", "abd"}, 0},
        {{"/only/one"}, 0},
    };
    for (const auto &[texts, expected] : cases) {
        EXPECT_EQ(naturalOrderSharedPrefix(texts), expected) << texts.front() << " ...";
    }
}

// The collator is made once per process, so each locale is tried in a fresh process.
TEST(NaturalOrderDeathTest, FollowsTheCollationLocaleAndKeepsNumericOrderInC)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char *lcAll;
        const char *lcCollate;
        const char *lang;
        bool swedish;  // Swedish collates "ä" after "z"; English with "a"
    };
    const Case cases[] = {
        {"C", "sv_SE.UTF-8", "sv_SE.UTF-8", false}, {"POSIX", nullptr, nullptr, false},
        {"C.UTF-8", nullptr, nullptr, false},       {nullptr, nullptr, nullptr, false},
        {"xx_NOWHERE", nullptr, nullptr, false},    {"sv_SE.UTF-8@euro", "en_US", "en_US", true},
        {nullptr, "sv_SE", "en_US.UTF-8", true},    {"", "", "sv_SE.UTF-8", true},
    };
    for (const auto &c : cases) {
        const auto check = [&c] {
            const auto set = [](const char *name, const char *value) {
                value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
            };
            set("LC_ALL", c.lcAll);
            set("LC_COLLATE", c.lcCollate);
            set("LANG", c.lang);
            const bool numeric = naturalCompare("app2", "app10") < 0 && naturalCompare("APP10", "app9") > 0;
            const bool caseless = naturalCompare("apple", "Banana") < 0;
            const bool swedish = naturalCompare("ä", "z") > 0;
            std::exit(numeric && caseless && swedish == c.swedish ? 0 : 1);
        };
        EXPECT_EXIT(check(), ::testing::ExitedWithCode(0), "")
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcCollate ? c.lcCollate : "-") << " " << (c.lang ? c.lang : "-");
    }
}

TEST(ContainsIgnoringCase, FoldsCaseAndCanonicalFormsButNotAccents)
{
    struct Case {
        const char *haystack;
        const char *needle;
        bool expected;
    };
    const Case cases[] = {
        {"/Users/me/ios/Pods", "pods", true},
        {"node_modules", "MODULES", true},
        {"node_modules", "", true},
        {"", "", true},
        {"", "a", false},
        {"abc", "abcd", false},
        {"Café Build", "CAFÉ", true},
        {"CAFÉ", "café", true},
        {"Café", "cafe", false},        // accents are not folded
        {"Cafe\xcc\x81", "CAFÉ", true},  // decomposed é, as macOS names are written
        {"Café", "Cafe\xcc\x81", true},
        {"cafe\xcc\x81", "cafe", false},  // decomposed or not, é is not e, though the bytes are there
        {"Straße", "STRASSE", true},     // full folding: ß is ss
        {"strasse", "ß", true},
        {"ΣΟΦΟΣ", "σοφος", true},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(containsIgnoringCase(c.haystack, c.needle), c.expected) << c.haystack << " / " << c.needle;
    }
}

TEST(ContainsIgnoringCase, BytesThatAreNotUtf8MatchOnlyThemselves)
{
    const std::string odd = "/Code/Build\xff-Cache/\xfe"
                            "DÉJÀ";
    EXPECT_TRUE(containsIgnoringCase(odd, "cache"));
    EXPECT_TRUE(containsIgnoringCase(odd, "déjà"));
    EXPECT_TRUE(containsIgnoringCase(odd, "\xff-Cache"));
    EXPECT_FALSE(containsIgnoringCase(odd, "\xff-cache")) << "a needle with stray bytes matches exactly";
    EXPECT_FALSE(containsIgnoringCase(odd, "\xfd"));
    EXPECT_FALSE(containsIgnoringCase(odd, "\xef\xbf\xbd")) << "U+FFFD is not a wildcard for stray bytes";
    EXPECT_FALSE(containsIgnoringCase(odd, "build-cache")) << "a stray byte is not skipped";
}

}  // namespace
}  // namespace tarnwick
