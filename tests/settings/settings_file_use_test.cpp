// The page deadline setting (页面超时), the check mode settings, settings files that cannot be used and
// are named with the reason, and a link at the settings file's name whose
// target does not exist yet.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "settings/settings.h"
#include "settings/settings_snapshot.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::fileBytes;
using testing::G;
using testing::putFileBytes;
using testing::U;
namespace fs = std::filesystem;

class SettingsFileUse : public ::testing::Test {
  protected:
    Text path() const { return folder_.path("配置.ini"); }
    std::string native() const { return folder_.nativePath("配置.ini"); }
    void given(const std::string& utf8) { putFileBytes(native(), G(utf8)); }

    testing::TempFolder folder_;
};

TEST_F(SettingsFileUse, ThePageDeadlineIsReadBoundedShownAndSaved) {
    EXPECT_EQ(loadCheckSettings(path()).pageTimeoutSeconds, 120);
    const ShownParameters none = loadShownParameters(path());
    EXPECT_EQ(none.texts.pageTimeoutSeconds, "120");
    EXPECT_TRUE(none.defaulted[4]);
    for (auto [value, seconds] : std::vector<std::pair<std::string, int>>{
             {"30", 30}, {"", 120}, {"0", 120}, {"-5", 120}, {"601", 600}, {"１５", 15}}) {
        given("[原创检测配置]\r\n页面超时=" + value + "\r\n");
        EXPECT_EQ(loadCheckSettings(path()).pageTimeoutSeconds, seconds) << value;
    }
    ParameterTexts texts{"30", "20", "5", "0"};
    texts.pageTimeoutSeconds = "45";
    EXPECT_EQ(parameterRangeProblem(texts), Text());
    ASSERT_TRUE(saveParameterTexts(path(), texts));
    EXPECT_EQ(loadCheckSettings(path()).pageTimeoutSeconds, 45);
    EXPECT_FALSE(loadShownParameters(path()).defaulted[4]);
    for (const char* bad : {"0", "601"}) {
        texts.pageTimeoutSeconds = bad;
        EXPECT_EQ(U(parameterRangeProblem(texts)), "页面超时应在 1～600 秒之间。") << bad;
    }
    texts.pageTimeoutSeconds = "";
    EXPECT_EQ(parameterRangeProblem(texts), Text());  // empty means the default
}

// 检测方式 and 飘红覆盖率 as a check's snapshot holds them: read from the file
// (bounded; an unknown mode is 整句), replaced by a program's overrides, and
// kept by a save that names only the numbers.
TEST_F(SettingsFileUse, CheckModeAndCoverageReachTheSnapshot) {
    given("[原创检测配置]\r\n检测方式=经典\r\n飘红覆盖率=30\r\n");
    SettingsSnapshot snapshot = loadSettingsSnapshot(path(), {});
    EXPECT_EQ(snapshot.check.mode, CheckMode::Classic);
    EXPECT_EQ(snapshot.check.coveragePercent, 50);
    SettingsOverrides overrides;
    overrides.mode = CheckMode::Sentence;
    overrides.coveragePercent = 90;
    snapshot = loadSettingsSnapshot(path(), overrides);
    EXPECT_EQ(snapshot.check.mode, CheckMode::Sentence);
    EXPECT_EQ(snapshot.check.coveragePercent, 90);
    ASSERT_TRUE(saveParameterTexts(path(), {"30", "20", "5", "0"}));
    EXPECT_EQ(loadCheckSettings(path()).mode, CheckMode::Classic);
    given("[原创检测配置]\r\n检测方式=整段\r\n");
    EXPECT_EQ(loadCheckSettings(path()).mode, CheckMode::Sentence);
    EXPECT_EQ(loadCheckSettings(path()).coveragePercent, 80);
}

TEST_F(SettingsFileUse, AFileThatCannotBeUsedIsNamedWithTheReason) {
    EXPECT_EQ(settingsFileProblem(path()), Text());  // missing: the defaults, no word
    given("[原创检测配置]\r\n段落字数=30\r\n");
    EXPECT_EQ(settingsFileProblem(path()), Text());

    auto problem = [&] { return U(settingsFileProblem(path())); };
    const std::string named = "设置文件“" + U(path()) + "”无法使用（";
    fs::remove(native());
    fs::create_directory(native());
    EXPECT_EQ(problem(), named + "这是一个文件夹），本次使用默认设置。");
    fs::remove(native());
    ASSERT_EQ(::mkfifo(native().c_str(), 0644), 0);
    EXPECT_EQ(problem(), named + "不是普通文件），本次使用默认设置。");
    fs::remove(native());
    fs::create_symlink(native(), native());  // a link to itself
    EXPECT_EQ(problem(), named + "链接层数过多，可能指向自己），本次使用默认设置。");
    fs::remove(native());
    putFileBytes(native(), "\xFF\xFF\xFF not GBK");
    EXPECT_EQ(problem(), named + "内容不是 GBK 文本），本次使用默认设置。");
    // Sparse: above the read limit without the disk space.
    fs::resize_file(native(), (64u << 20) + 1);
    EXPECT_EQ(problem(), named + "文件过大，超过 64 MiB），本次使用默认设置。");
    EXPECT_EQ(loadCheckSettings(path()).segmentChars, 38);
}

TEST_F(SettingsFileUse, ALinkToAFileNotMadeYetIsWrittenThrough) {
    // The settings are written through a link at the name; one whose target
    // does not exist yet gets that target made, the link kept.
    fs::create_directories(folder_.nativePath("real"));
    const std::string target = folder_.nativePath("real/配置.ini");
    fs::create_symlink(target, native());
    EXPECT_EQ(settingsFileProblem(path()), Text());
    ParameterTexts sixty{"30", "20", "5", "0"};
    sixty.pageTimeoutSeconds = "60";
    ASSERT_TRUE(saveParameterTexts(path(), sixty));
    EXPECT_TRUE(fs::is_symlink(native()));
    EXPECT_NE(U(fileBytes(target)).find("页面超时=60"), std::string::npos);
    EXPECT_EQ(loadCheckSettings(path()).pageTimeoutSeconds, 60);
    // A relative link too.
    fs::remove(native());
    fs::remove(target);
    fs::create_symlink("real/配置.ini", native());
    sixty.pageTimeoutSeconds = "61";
    ASSERT_TRUE(saveParameterTexts(path(), sixty));
    EXPECT_TRUE(fs::is_symlink(native()));
    EXPECT_EQ(loadCheckSettings(path()).pageTimeoutSeconds, 61);
}

}  // namespace
}  // namespace oc
