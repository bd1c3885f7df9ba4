#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "core/PathRules.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace tarnwick {
namespace {

struct NormalizeCase {
    const char *input;
    const char *expected;
};

void PrintTo(const NormalizeCase &c, std::ostream *out)
{
    *out << '"' << c.input << "\" -> \"" << c.expected << '"';
}

class NormalizedPathTest : public ::testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizedPathTest, Standardizes)
{
    EXPECT_EQ(normalizedPath(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, NormalizedPathTest,
                         ::testing::Values(NormalizeCase{"/a/./b/../c", "/a/c"}, NormalizeCase{"/a//b///", "/a/b"},
                                           NormalizeCase{"/..", "/"}, NormalizeCase{"/../a/..", "/"},
                                           NormalizeCase{"/", "/"}, NormalizeCase{"/a/b/c/../../d", "/a/d"},
                                           NormalizeCase{"/x/.hidden/..dots", "/x/.hidden/..dots"}));

TEST(NormalizedPath, RelativePathsStartAtTheCurrentFolder)
{
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(normalizedPath("a/../b"), normalizedPath(std::string(cwd) + "/b"));
    EXPECT_EQ(normalizedPath(""), normalizedPath(cwd));
}

TEST(PathContainment, PrefixSiblingsAreOutside)
{
    EXPECT_TRUE(isPathInside("/a/b", "/a/b"));
    EXPECT_TRUE(isPathInside("/a/b/c", "/a/b"));
    EXPECT_TRUE(isPathInside("/a/b/./c/..", "/a/b/"));
    EXPECT_FALSE(isPathInside("/a/bc", "/a/b"));
    EXPECT_FALSE(isPathInside("/a/b/../c", "/a/b"));
    EXPECT_TRUE(isPathInside("/anything", "/"));
}

TEST(PathComponents, SuffixAndRunComparisonsWorkOnWholeComponents)
{
    const std::vector<std::string> yarn{"Library", "Caches", "Yarn"};
    EXPECT_TRUE(pathEndsWithComponents("/Users/u/Library/Caches/Yarn", yarn));
    EXPECT_TRUE(pathEndsWithComponents("/Library/Caches/Yarn", yarn));
    EXPECT_FALSE(pathEndsWithComponents("/Caches/Yarn", yarn));
    EXPECT_FALSE(pathEndsWithComponents("/u/XLibrary/Caches/Yarn", yarn));
    EXPECT_FALSE(pathEndsWithComponents("/u/Library/Caches/yarn", yarn));

    const std::vector<std::string> archives{"Library", "Developer", "Xcode", "Archives"};
    EXPECT_TRUE(pathContainsComponentRun("/u/Library/Developer/Xcode/Archives/2024-05-01", archives));
    EXPECT_TRUE(pathContainsComponentRun("/u/Library/Developer/Xcode/Archives", archives));
    EXPECT_FALSE(pathContainsComponentRun("/u/Library/Developer/Xcode/ArchivesOld/x", archives));

    EXPECT_EQ(pathComponents("/Users/someone/Library"), (std::vector<std::string>{"Users", "someone", "Library"}));
    EXPECT_EQ(lastPathComponent("/a/b"), "b");
    EXPECT_EQ(parentPath("/a/b"), "/a");
    EXPECT_EQ(parentPath("/a"), "/");
    EXPECT_EQ(pathExtension("App 1.xcarchive"), "xcarchive");
    EXPECT_EQ(pathExtension("noext"), "");
}

TEST(CountPhrase, SingularOnlyForOne)
{
    EXPECT_EQ(countPhrase(0), "0 folders");
    EXPECT_EQ(countPhrase(1), "1 folder");
    EXPECT_EQ(countPhrase(2), "2 folders");
}

TEST(ByteCountFormatter, DecimalFileStyle)
{
    EXPECT_EQ(formatByteCount(0), "0 bytes");
    EXPECT_EQ(formatByteCount(1), "1 byte");
    EXPECT_EQ(formatByteCount(999), "999 bytes");
    EXPECT_EQ(formatByteCount(1000), "1 KB");
    EXPECT_EQ(formatByteCount(4096), "4 KB");
    EXPECT_EQ(formatByteCount(999'499), "999 KB");
    EXPECT_EQ(formatByteCount(999'500), "1.0 MB");  // rounding carries into the next unit
    EXPECT_EQ(formatByteCount(1'500'000), "1.5 MB");
    EXPECT_EQ(formatByteCount(2'340'000'000), "2.34 GB");
    EXPECT_EQ(formatByteCount(5'000'000'000'000), "5.00 TB");
}

}  // namespace
}  // namespace tarnwick
