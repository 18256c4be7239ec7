#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;

TEST(IgnoredSites, KeptAsOneLineBesideTheCheckParameters) {
    testing::TempFolder folder;
    const Text path = folder.path("配置.ini");
    EXPECT_EQ(loadIgnoredSites(path), "");
    ASSERT_TRUE(saveParameterTexts(path, {"20", "15", "3", "0"}));
    // The lines of the parameter window's list become one value.
    ASSERT_TRUE(saveIgnoredSites(path, G("mysite.cn\r\nblog.mysite.cn，news.cn\n")));
    EXPECT_EQ(loadIgnoredSites(path), G("mysite.cn  blog.mysite.cn，news.cn"));
    // The other parameters are untouched, and their save leaves the list alone.
    EXPECT_EQ(loadCheckSettings(path).segmentChars, 20);
    ASSERT_TRUE(saveParameterTexts(path, {"30", "15", "3", "0"}));
    EXPECT_EQ(loadIgnoredSites(path), G("mysite.cn  blog.mysite.cn，news.cn"));
    testing::putFileBytes(folder.nativePath("配置.ini"),
                          G("[原创检测配置]\r\n忽略网站=  a.cn b.cn\r\n"));
    EXPECT_EQ(loadIgnoredSites(path), G("a.cn b.cn"));
}

}  // namespace
}  // namespace oc
