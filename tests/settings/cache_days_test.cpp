// 缓存天数: how long a verified answer of an engine is reused.
#include <gtest/gtest.h>

#include "services/boundary_text.h"
#include "settings/cache_days.h"
#include "tests/support/file_fixtures.h"

namespace oc {
namespace {

TEST(CacheDays, DefaultBoundsAndTheParameterWindowsCheck) {
    testing::TempFolder folder;
    const Text path = folder.path("配置.ini");
    EXPECT_EQ(loadCacheDays(path), 7);  // no file, no key
    EXPECT_EQ(loadCacheDaysText(path), "7");
    for (const auto& [value, days] : std::vector<std::pair<const char*, int>>{
             {"0", 0}, {"30", 30}, {" 365 ", 365}, {"999", 365}, {"-3", 0}, {"", 7}}) {
        ASSERT_TRUE(saveCacheDays(path, value));
        EXPECT_EQ(loadCacheDays(path), days) << value;
    }
    EXPECT_TRUE(cacheDaysProblem("0").empty());
    EXPECT_TRUE(cacheDaysProblem("365").empty());
    for (const char* bad : {"366", "-1", "", "7天", "1.5"}) {
        EXPECT_EQ(utf8FromGbk(cacheDaysProblem(bad)),
                  "缓存天数应在 0～365 之间（0 表示不使用缓存）。")
            << bad;
    }
}

}  // namespace
}  // namespace oc
