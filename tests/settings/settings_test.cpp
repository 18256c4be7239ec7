#include "settings/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "services/files.h"
#include "services/http_fetch.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::fileBytes;
using testing::G;
using testing::putFileBytes;
using testing::U;

class Settings : public ::testing::Test {
  protected:
    Text path() const { return folder_.path("配置.ini"); }
    std::string native() const { return folder_.nativePath("配置.ini"); }
    void given(const std::string& utf8) { putFileBytes(native(), G(utf8)); }
    CheckSettings check() const { return loadCheckSettings(path()); }

    testing::TempFolder folder_;
};

TEST_F(Settings, PathIsBesideTheProgram) {
    EXPECT_EQ(settingsPath(), G(OC_BIN_DIR "/配置.ini"));
}

TEST_F(Settings, WithoutAFilePassesUseDefaultsAndTheWindowShowsNothing) {
    CheckSettings settings = check();
    EXPECT_EQ(settings.segmentChars, 38);
    EXPECT_EQ(settings.minRunChars, 30);
    EXPECT_EQ(settings.lastSegmentChars, 5);
    ParameterTexts texts = loadParameterTexts(path());
    EXPECT_EQ(texts.segmentChars, "");
    EXPECT_EQ(texts.minRunChars, "");
    EXPECT_EQ(texts.lastSegmentChars, "");
}

TEST_F(Settings, SaveCreatesTheSectionWithTheKeysInOrder) {
    ASSERT_TRUE(saveParameterTexts(path(), {"20", "15", "3", "0"}));
    EXPECT_EQ(U(fileBytes(native())),
              "[原创检测配置]\r\n段落字数=20\r\n飘红检测数=15\r\n最后段字数=3\r\n查询间隔=0\r\n"
              "页面超时=\r\n");
    CheckSettings settings = check();
    EXPECT_EQ(settings.segmentChars, 20);
    EXPECT_EQ(settings.minRunChars, 15);
    EXPECT_EQ(settings.lastSegmentChars, 3);
    ParameterTexts texts = loadParameterTexts(path());
    EXPECT_EQ(texts.segmentChars, "20");
    EXPECT_EQ(texts.lastSegmentChars, "3");
}

TEST_F(Settings, EmptySavedValuesReadAsZeroThenBounded) {
    ASSERT_TRUE(saveParameterTexts(path(), {"", "", "", ""}));
    EXPECT_EQ(U(fileBytes(native())),
              "[原创检测配置]\r\n段落字数=\r\n飘红检测数=\r\n最后段字数=\r\n查询间隔=\r\n"
              "页面超时=\r\n");
    CheckSettings settings = check();
    EXPECT_EQ(settings.segmentChars, 38);  // 0 would cut nothing
    EXPECT_EQ(settings.minRunChars, 12);
    EXPECT_EQ(settings.lastSegmentChars, 0);
}

// Values written by hand outside the parameter window's ranges are brought
// into them, and the notice names each one with what is used.
TEST_F(Settings, PassesBoundTheValues) {
    EXPECT_EQ(parameterRangeNotice(path()), "");  // no file
    ASSERT_TRUE(saveParameterTexts(path(), {"50", "11", "-4", "500"}));
    EXPECT_EQ(check().segmentChars, 38);
    EXPECT_EQ(check().minRunChars, 12);
    EXPECT_EQ(check().lastSegmentChars, 0);
    EXPECT_EQ(U(parameterRangeNotice(path())),
              "配置文件中的参数超出范围，本次检测按范围内的值使用：分段文本字数（段落字数）50→38；"
              "飘红计数字数（飘红检测数）11→12；最后一段字数（最后段字数）-4→0；查询间隔500→120");
    // No run is longer than a segment: a longer 飘红检测数 would make every
    // segment original, so it counts as 段落字数.
    ASSERT_TRUE(saveParameterTexts(path(), {"-3", "999999999", "7", "0"}));
    EXPECT_EQ(check().segmentChars, 38);
    EXPECT_EQ(check().minRunChars, 38);
    ASSERT_TRUE(saveParameterTexts(path(), {"20", "30", "7", "0"}));
    EXPECT_EQ(check().minRunChars, 20);
    ASSERT_TRUE(saveParameterTexts(path(), {"5", "12", "30", "0"}));
    EXPECT_EQ(check().segmentChars, 12);
    EXPECT_EQ(check().minRunChars, 12);
    EXPECT_EQ(check().lastSegmentChars, 12);
    ASSERT_TRUE(saveParameterTexts(path(), {"38", "30", "5", "0"}));
    EXPECT_EQ(parameterRangeNotice(path()), "");
}

TEST_F(Settings, QueryIntervalIsBoundedToTwoMinutes) {
    EXPECT_EQ(check().intervalSeconds, 0);  // no file
    for (auto [text, seconds] : std::vector<std::pair<const char*, int>>{
             {"5", 5}, {"-7", 0}, {"121", 120}, {"120", 120}, {"abc", 0}, {"", 0}}) {
        ASSERT_TRUE(saveParameterTexts(path(), {"38", "30", "5", text}));
        EXPECT_EQ(check().intervalSeconds, seconds) << text;
        EXPECT_EQ(loadParameterTexts(path()).intervalSeconds, text);
    }
}

TEST_F(Settings, UserAgentComesFromTheEngineSectionUnlessUnusable) {
    EXPECT_EQ(loadUserAgent(path()), kDefaultUserAgent);
    given("[搜索引擎]\r\nUserAgent=Mozilla/5.0 (X11; Linux x86_64)\r\n");
    EXPECT_EQ(loadUserAgent(path()), "Mozilla/5.0 (X11; Linux x86_64)");
    given("[搜索引擎]\r\nUserAgent=\r\n");
    EXPECT_EQ(loadUserAgent(path()), kDefaultUserAgent);
}

TEST_F(Settings, HandWrittenValuesReadAsTheNumbersTheySpell) {
    given(
        "[ 原创检测配置 ]\n"
        "  段落字数 =   ３６\n"
        "飘红检测数=　２０字\n"
        "最后段字数 = 8abc\n");
    CheckSettings settings = check();
    EXPECT_EQ(settings.segmentChars, 36);
    EXPECT_EQ(settings.minRunChars, 20);
    EXPECT_EQ(settings.lastSegmentChars, 8);
    EXPECT_EQ(U(loadParameterTexts(path()).minRunChars), "　２０字");
}

TEST_F(Settings, SaveKeepsEverythingElseByteForByte) {
    const std::string original =
        "; 我的设置\r\n"
        "[搜索引擎]\r\n"
        "百度=http://127.0.0.1:8080\r\n"
        "\r\n"
        "[原创检测配置]\r\n"
        "段落字数=30\r\n"
        "未知=保留\r\n"
        "; 注释\r\n"
        "[其他]\r\n"
        "x = 1\r\n";
    given(original);
    ASSERT_TRUE(saveParameterTexts(path(), {"25", "30", "5", "0"}));
    EXPECT_EQ(U(fileBytes(native())),
              "; 我的设置\r\n"
              "[搜索引擎]\r\n"
              "百度=http://127.0.0.1:8080\r\n"
              "\r\n"
              "[原创检测配置]\r\n"
              "段落字数=25\r\n"
              "未知=保留\r\n"
              "飘红检测数=30\r\n"
              "最后段字数=5\r\n"
              "查询间隔=0\r\n"
              "页面超时=\r\n"
              "; 注释\r\n"
              "[其他]\r\n"
              "x = 1\r\n");
}

TEST_F(Settings, SaveIntoAReadOnlyFolderFailsAndKeepsTheOldFile) {
    given("[原创检测配置]\r\n段落字数=30\r\n");
    ::chmod(folder_.native().c_str(), 0555);
    EXPECT_FALSE(testing::runWithoutRoot([&] {
        return saveParameterTexts(path(), {"1", "2", "3", "0"});
    }));
    EXPECT_EQ(U(fileBytes(native())), "[原创检测配置]\r\n段落字数=30\r\n");
    EXPECT_EQ(check().segmentChars, 30);
}

TEST_F(Settings, EngineEndpointsAreTheDefaultsOnlyWhenTheFileGivesNone) {
    EngineEndpoints defaults = loadEngineEndpoints(path());
    EXPECT_EQ(defaults.baidu, "http://www.baidu.com");
    EXPECT_EQ(defaults.engine360, "http://www.so.com");

    given("[搜索引擎]\r\n百度 = http://127.0.0.1:8080/\r\n360=HTTPS://[::1]:9\r\n");
    EngineEndpoints endpoints = loadEngineEndpoints(path());
    EXPECT_EQ(endpoints.baidu, "http://127.0.0.1:8080");
    EXPECT_EQ(endpoints.engine360, "HTTPS://[::1]:9");

    for (const char* bad :
         {"ftp://host", "http://", "http://host/path", "http://host?q=1", "http://user@host",
          "http://host:0", "http://host:99999", "http://host:", "http://-host",
          "javascript:alert(1)", "http://a b", "http://[zz]", "http://host//",
          "http://127.0.0.1:08000", "http://127.0.0.1:8000 simulator", "127.0.0.1:8000"}) {
        given(std::string("[搜索引擎]\r\n百度=") + bad + "\r\n360=http://127.0.0.1:9\r\n");
        // Never the real engine in place of the one the user meant.
        EngineEndpoints endpoints = loadEngineEndpoints(path());
        EXPECT_EQ(endpoints.baidu, "") << bad;
        EXPECT_EQ(U(endpoints.baiduError),
                  std::string("配置.ini 中 [搜索引擎] 百度 的地址无效：") + bad);
        EXPECT_EQ(endpoints.engine360, "http://127.0.0.1:9");
        EXPECT_EQ(endpoints.error360, "");
    }
    // An empty value is no address at all: the default.
    given("[搜索引擎]\r\n百度=\r\n360= \r\n");
    EXPECT_EQ(loadEngineEndpoints(path()).baidu, "http://www.baidu.com");
    EXPECT_EQ(loadEngineEndpoints(path()).engine360, "http://www.so.com");
    EXPECT_EQ(loadEngineEndpoints(path()).baiduError, "");
}

}  // namespace
}  // namespace oc
