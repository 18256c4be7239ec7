// Settings files that are not what a person would write: binary garbage, ten
// megabytes of lines, a folder that cannot hold a file. Reads fall back to the
// defaults, and no save ever truncates or garbles what is there.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "settings/settings.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::fileBytes;
using testing::G;
using testing::putFileBytes;

// Bytes of every value, line feeds, brackets and "=" among them.
std::string garbage(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

void expectDefaults(const Text& path) {
    CheckSettings settings = loadCheckSettings(path);
    EXPECT_EQ(settings.segmentChars, 38);
    EXPECT_EQ(settings.minRunChars, 30);
    EXPECT_EQ(settings.lastSegmentChars, 5);
    EXPECT_EQ(loadEngineEndpoints(path).baidu, defaultEngineEndpoints().baidu);
}

TEST(BadSettingsFile, BinaryGarbageReadsAsDefaultsAndASaveKeepsIt) {
    testing::TempFolder folder;
    const Text path = folder.path("配置.ini");
    for (unsigned seed = 1; seed <= 3; ++seed) {
        const std::string before = garbage(64 * 1024, seed);
        putFileBytes(folder.nativePath("配置.ini"), before);
        expectDefaults(path);
        EXPECT_TRUE(loadParameterTexts(path).segmentChars.empty());

        ASSERT_TRUE(saveParameterTexts(path, {"20", "15", "3", "0"}));
        const std::string after = fileBytes(folder.nativePath("配置.ini"));
        EXPECT_EQ(after.substr(0, before.size()), before);  // only added to
        CheckSettings settings = loadCheckSettings(path);
        EXPECT_EQ(settings.segmentChars, 20);
        EXPECT_EQ(settings.minRunChars, 15);
        EXPECT_EQ(settings.lastSegmentChars, 3);
    }
}

TEST(BadSettingsFile, TenMegabytesAreReadAndSavedWhole) {
    testing::TempFolder folder;
    const Text path = folder.path("配置.ini");
    std::string lines = "[其他]\r\n";
    while (lines.size() < 5u << 20) {
        lines += "key" + std::to_string(lines.size()) + "=" + std::string(100, 'v') + "\r\n";
    }
    const std::string head = lines + G("[原创检测配置]\r\n段落字数=");
    const std::string tail = "\r\n" + G("[尾]\r\n") + lines;
    putFileBytes(folder.nativePath("配置.ini"), head + "20" + tail);
    EXPECT_EQ(loadCheckSettings(path).segmentChars, 20);

    ASSERT_TRUE(saveParameterTexts(path, {"25", "30", "5", "0"}));
    const std::string after = fileBytes(folder.nativePath("配置.ini"));
    EXPECT_EQ(after, head + "25\r\n" +
                         G("飘红检测数=30\r\n最后段字数=5\r\n查询间隔=0\r\n页面超时=") + tail);
    EXPECT_EQ(loadCheckSettings(path).segmentChars, 25);
}

TEST(BadSettingsFile, AFolderThatCannotHoldTheFileGivesDefaultsAndAFailedSave) {
    testing::TempFolder folder;
    // A plain file where the program folder should be: not even root can write there.
    putFileBytes(folder.nativePath("program"), "not a folder");
    const Text path = folder.path("program/配置.ini");
    expectDefaults(path);
    EXPECT_FALSE(saveParameterTexts(path, {"20", "15", "3", "0"}));
    EXPECT_EQ(fileBytes(folder.nativePath("program")), "not a folder");

    // The settings path is a folder: nothing to read, nothing written over it.
    std::filesystem::create_directory(folder.nativePath("配置.ini"));
    expectDefaults(folder.path("配置.ini"));
    EXPECT_FALSE(saveParameterTexts(folder.path("配置.ini"), {"20", "15", "3", "0"}));
    EXPECT_TRUE(std::filesystem::is_directory(folder.nativePath("配置.ini")));
}

}  // namespace
}  // namespace oc
