#include "settings/engine_settings.h"

#include <gtest/gtest.h>

#include "services/http_fetch.h"
#include "settings/settings.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {

using testing::G;
using testing::U;

TEST(EngineSettings, WhatIsSavedIsWhatAChecksUsesAndAnEmptyBoxGivesTheBuiltInValue) {
    testing::TempFolder folder;
    const Text path = folder.path("配置.ini");
    testing::putFileBytes(folder.nativePath("配置.ini"), G("[原创检测配置]\r\n段落字数=20\r\n"));

    ASSERT_TRUE(saveEngineTexts(
        path, {" https://127.0.0.1:8000/ ", "http://so.example:81", G("Agent/1.0 （测试）")}));
    EngineEndpoints endpoints = loadEngineEndpoints(path);
    EXPECT_EQ(endpoints.baidu, "https://127.0.0.1:8000");
    EXPECT_EQ(endpoints.engine360, "http://so.example:81");
    EXPECT_TRUE(endpoints.baiduError.empty() && endpoints.error360.empty());
    EXPECT_EQ(U(loadUserAgent(path)), "Agent/1.0 （测试）");
    EXPECT_EQ(loadEngineTexts(path).baidu, "https://127.0.0.1:8000");
    EXPECT_EQ(loadCheckSettings(path).segmentChars, 20);  // the other section kept

    ASSERT_TRUE(saveEngineTexts(path, {"", " ", ""}));
    const EngineTexts emptied = loadEngineTexts(path);
    EXPECT_TRUE(emptied.baidu.empty() && emptied.engine360.empty() && emptied.userAgent.empty());
    endpoints = loadEngineEndpoints(path);
    EXPECT_EQ(endpoints.baidu, defaultEngineEndpoints().baidu);
    EXPECT_EQ(endpoints.engine360, defaultEngineEndpoints().engine360);
    EXPECT_EQ(loadUserAgent(path), kDefaultUserAgent);
    EXPECT_EQ(loadCheckSettings(path).segmentChars, 20);
}

TEST(EngineSettings, AnUnusableValueIsNamedAndNothingIsSaved) {
    testing::TempFolder folder;
    const Text path = folder.path("配置.ini");
    const std::string native = folder.nativePath("配置.ini");
    const std::string before = G("[搜索引擎]\r\n百度=http://127.0.0.1:9\r\n");
    testing::putFileBytes(native, before);
    const struct {
        EngineTexts texts;
        const char* says;
    } cases[] = {
        {{"www.baidu.com", "", ""}, "百度地址无效：“www.baidu.com”"},
        {{"", "http://so.example/s?q=", ""}, "360地址无效：“http://so.example/s?q=”"},
        {{"ftp://so.example", "", ""}, "百度地址无效"},
        {{"", "", "Agent\t1"}, "UserAgent 只能是一行文字"},
        {{"", "", "Agent\r\nX-Injected: 1"}, "UserAgent 只能是一行文字"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(U(engineTextsProblem(c.texts)).find(c.says), std::string::npos) << c.says;
        EXPECT_FALSE(saveEngineTexts(path, c.texts)) << c.says;
        EXPECT_EQ(testing::fileBytes(native), before) << c.says;
    }
    EXPECT_TRUE(engineTextsProblem({"http://[::1]:8000", "https://so.com/", "A"}).empty());
}

}  // namespace
}  // namespace oc
