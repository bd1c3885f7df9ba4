#include "FixtureTree.h"
#include "ScanTestSupport.h"
#include "engine/RuleMatching.h"
#include "engine/SimulatorDeviceRecord.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>
#include <functional>

namespace tarnwick {
namespace {

using testing::FixtureTree;

struct MatchCase {
    const char *name;
    std::function<void(FixtureTree &)> build;
    std::map<std::string, std::string> expected;  // relative path -> key of every folder found
};

void PrintTo(const MatchCase &c, std::ostream *out)
{
    *out << c.name;
}

class RuleMatchingTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(RuleMatchingTest, FindsExactlyTheExpectedFolders)
{
    FixtureTree tree;
    GetParam().build(tree);
    const auto recording = testing::recordScan(testing::everyRule({tree.root()}));
    EXPECT_EQ(testing::foundKeys(recording.result, tree.root()), GetParam().expected);
}

std::string plist(bool binary, const std::function<void(plist_t)> &fill)
{
    plist_t dict = plist_new_dict();
    fill(dict);
    char *data = nullptr;
    uint32_t length = 0;
    if (binary) {
        plist_to_bin(dict, &data, &length);
    } else {
        plist_to_xml(dict, &data, &length);
    }
    std::string bytes(data, length);
    std::free(data);
    plist_free(dict);
    return bytes;
}

void writeDevice(FixtureTree &tree, const std::string &folder, const std::string &bytes)
{
    tree.folder(folder);
    const std::string path = tree.path(folder + "/device.plist");
    FILE *file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

const std::string kDevices = "home/Library/Developer/CoreSimulator/Devices/";

INSTANTIATE_TEST_SUITE_P(
    Rules, RuleMatchingTest,
    ::testing::Values(
        MatchCase{"NameIsCaseSensitive",
                  [](FixtureTree &fx) {
                      fx.folder("a/node_modules");
                      fx.folder("b/Node_Modules");
                  },
                  {{"a/node_modules", "node_modules"}}},
        MatchCase{"SiblingManifests",
                  [](FixtureTree &fx) {
                      fx.file("rust/Cargo.toml");
                      fx.folder("rust/target");
                      fx.folder("bare/target");
                      fx.symlink("dangling/Cargo.toml", "/nonexistent/Cargo.toml");
                      fx.folder("dangling/target");
                      fx.file("linked/real.toml");
                      fx.symlink("linked/Cargo.toml", "real.toml");
                      fx.folder("linked/target");
                      fx.file("gradle/settings.gradle.kts");
                      fx.folder("gradle/.gradle");
                      fx.file("pods/Podfile.lock");
                      fx.folder("pods/Pods");
                      fx.file("swift/Package.swift");
                      fx.folder("swift/.build");
                      fx.folder("noswift/.build");
                      fx.file("dart/pubspec.yaml");
                      fx.folder("dart/.dart_tool");
                      fx.folder("dart/build");
                  },
                  {{"rust/target", "target"},
                   {"linked/target", "target"},
                   {"gradle/.gradle", ".gradle"},
                   {"pods/Pods", "Pods"},
                   {"swift/.build", ".build"},
                   {"dart/.dart_tool", ".dart_tool"},
                   {"dart/build", "build"}}},
        MatchCase{"BuildFolders",
                  [](FixtureTree &fx) {
                      fx.folder("app/Carthage/Build");
                      fx.file("app/build.gradle");
                      fx.folder("app/build");
                      fx.folder("plain/build");
                      fx.folder("plain/Build");
                      fx.folder("web/dist");
                      fx.folder("web/coverage");
                  },
                  {{"app/Carthage/Build", "Carthage/Build"},
                   {"app/build", "build"},
                   {"web/dist", "dist"},
                   {"web/coverage", "coverage"}}},
        MatchCase{"HomeCachesOnThisSystem",
                  [](FixtureTree &fx) {
                      fx.folder("home/.gradle/caches");
                      fx.folder("home/.npm/_cacache");
                      fx.folder("home/.cache/yarn");
                      fx.folder("home/.cache/Homebrew/Logs");
                      fx.folder("home/.cache/org.swift.swiftpm");
                      fx.folder("home/.local/share/pnpm/store");
                      fx.folder("home/Library/Caches/CocoaPods");
                      fx.folder("home/.docker/buildx/cache");
                      fx.folder("home/.docker/desktop/vms/0/data");
                      fx.folder("home/.colima");
                      fx.folder("home/Library/Caches/Yarn");  // the macOS place means nothing here
                  },
                  {{"home/.gradle/caches", "Gradle Cache"},
                   {"home/.npm/_cacache", "npm Cache"},
                   {"home/.cache/yarn", "Yarn Cache"},
                   {"home/.cache/Homebrew", "Homebrew Cache"},
                   {"home/.cache/org.swift.swiftpm", "SwiftPM Cache"},
                   {"home/.local/share/pnpm/store", "pnpm Store"},
                   {"home/Library/Caches/CocoaPods", "CocoaPods Cache"},
                   {"home/.docker/buildx/cache", "Docker Build Cache"},
                   {"home/.docker/desktop/vms/0/data", "Docker Desktop Data"},
                   {"home/.colima", "Colima Data"}}},
        MatchCase{"XcodeFolders",
                  [](FixtureTree &fx) {
                      fx.folder("home/Library/Developer/Xcode/Archives/2024-05-01/App 1.xcarchive");
                      fx.folder("home/Library/Developer/Xcode/Archives/x/App.XCARCHIVE");
                      fx.folder("home/Library/Developer/Xcode/Elsewhere/App.xcarchive");
                      fx.folder("home/Library/Developer/Xcode/iOS DeviceSupport/17.0 (21A329)");
                      fx.folder("home/Library/Developer/CoreSimulator/Caches");
                      fx.folder("home/Library/Developer/CoreSimulator/Profiles/Runtimes/iOS 17.simruntime");
                      fx.folder("home/Library/Developer/Xcode/DerivedData");
                  },
                  {{"home/Library/Developer/Xcode/Archives/2024-05-01/App 1.xcarchive", "Xcode Archive"},
                   {"home/Library/Developer/Xcode/Archives/x/App.XCARCHIVE", "Xcode Archive"},
                   {"home/Library/Developer/Xcode/iOS DeviceSupport/17.0 (21A329)", "Xcode DeviceSupport"},
                   {"home/Library/Developer/CoreSimulator/Caches", "CoreSimulator Caches"},
                   {"home/Library/Developer/CoreSimulator/Profiles/Runtimes/iOS 17.simruntime", "Simulator Runtime"},
                   {"home/Library/Developer/Xcode/DerivedData", "DerivedData"}}},
        MatchCase{"SimulatorDeviceRecords",
                  [](FixtureTree &fx) {
                      const auto unavailable = [](plist_t d) { plist_dict_set_item(d, "isAvailable", plist_new_bool(0)); };
                      const auto availableDespiteError = [](plist_t d) {
                          plist_dict_set_item(d, "isAvailable", plist_new_bool(1));
                          plist_dict_set_item(d, "availabilityError", plist_new_string("runtime missing"));
                      };
                      const auto blankError = [](plist_t d) {
                          plist_dict_set_item(d, "availabilityError", plist_new_string(" \n\t "));
                      };
                      const auto realError = [](plist_t d) {
                          plist_dict_set_item(d, "availabilityError", plist_new_string("runtime profile not found"));
                      };
                      writeDevice(fx, kDevices + "A-binary-unavailable", plist(true, unavailable));
                      writeDevice(fx, kDevices + "B-xml-unavailable", plist(false, unavailable));
                      writeDevice(fx, kDevices + "C-available", plist(true, availableDespiteError));
                      writeDevice(fx, kDevices + "D-blank-error", plist(false, blankError));
                      writeDevice(fx, kDevices + "E-error", plist(false, realError));
                      writeDevice(fx, kDevices + "F-garbage", "not a property list at all");
                      fx.folder(kDevices + "G-no-record");
                      fx.fifo(kDevices + "H-fifo/device.plist");
                      writeDevice(fx, "home/Library/Developer/Other/Devices/I", plist(true, unavailable));
                  },
                  {{kDevices + "A-binary-unavailable", "Unavailable Simulator"},
                   {kDevices + "B-xml-unavailable", "Unavailable Simulator"},
                   {kDevices + "E-error", "Unavailable Simulator"}}},
        MatchCase{"PythonAndJavaScriptCaches",
                  [](FixtureTree &fx) {
                      for (const char *name : {"__pycache__", ".pytest_cache", ".mypy_cache", ".ruff_cache", ".tox",
                                               ".venv", "venv", ".next", ".nuxt", ".svelte-kit", ".turbo"}) {
                          fx.folder(std::string("p/") + name);
                      }
                  },
                  {{"p/__pycache__", "__pycache__"},
                   {"p/.pytest_cache", ".pytest_cache"},
                   {"p/.mypy_cache", ".mypy_cache"},
                   {"p/.ruff_cache", ".ruff_cache"},
                   {"p/.tox", ".tox"},
                   {"p/.venv", ".venv"},
                   {"p/venv", "venv"},
                   {"p/.next", ".next"},
                   {"p/.nuxt", ".nuxt"},
                   {"p/.svelte-kit", ".svelte-kit"},
                   {"p/.turbo", ".turbo"}}}),
    [](const ::testing::TestParamInfo<MatchCase> &caseInfo) { return std::string(caseInfo.param.name); });

TEST(SimulatorDeviceRecord, OnlyADictionaryWithTheRightTypesCounts)
{
    // isAvailable that is not a boolean is ignored in favour of availabilityError
    EXPECT_TRUE(deviceRecordSaysUnavailable(plist(false, [](plist_t d) {
        plist_dict_set_item(d, "isAvailable", plist_new_string("no"));
        plist_dict_set_item(d, "availabilityError", plist_new_string("gone"));
    })));
    EXPECT_FALSE(deviceRecordSaysUnavailable(plist(true, [](plist_t d) {
        plist_dict_set_item(d, "availabilityError", plist_new_uint(3));
    })));
    plist_t array = plist_new_array();
    plist_array_append_item(array, plist_new_bool(0));
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(array, &xml, &length);
    EXPECT_FALSE(deviceRecordSaysUnavailable(std::string(xml, length)));
    std::free(xml);
    plist_free(array);
    EXPECT_FALSE(deviceRecordSaysUnavailable(""));
}

}  // namespace
}  // namespace tarnwick
