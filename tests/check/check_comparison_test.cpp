// 对比: two stored checks matched segment by segment by their text.
#include "check/check_comparison.h"

#include <gtest/gtest.h>

namespace oc {
namespace {

StoredPass passOf(Engine engine, const std::string& value,
                  const std::vector<std::pair<std::string, SegmentStatus>>& rows) {
    StoredPass pass;
    pass.summary.engine = engine;
    pass.summary.value = value;
    int number = 0;
    for (const auto& [text, status] : rows) {
        StoredRow row;
        row.number = ++number;
        row.text = text;
        row.status = status;
        pass.rows.push_back(row);
    }
    return pass;
}

using S = SegmentStatus;

TEST(CheckComparison, ValuesChangedStatusesAddedAndRemovedSegments) {
    StoredCheck before;
    before.passes = {passOf(Engine::Baidu, "50%",
                            {{"甲", S::Hit},
                             {"乙", S::Original},
                             {"重", S::Hit},
                             {"重", S::Hit},
                             {"丙", S::Unverified}}),
                     passOf(Engine::So360, "100%", {{"甲", S::Original}})};
    StoredCheck after;
    after.passes = {
        passOf(Engine::Baidu, "75%",
               {{"甲", S::Original}, {"乙", S::Original}, {"重", S::Hit}, {"丁", S::Original}})};
    const std::vector<EngineComparison> result = compareChecks(before, after);
    ASSERT_EQ(result.size(), 2u);
    const EngineComparison& baidu = result[0];
    EXPECT_EQ(baidu.valueBefore, "50%");
    EXPECT_EQ(baidu.valueAfter, "75%");
    ASSERT_EQ(baidu.changes.size(), 4u);
    EXPECT_EQ(baidu.changes[0].text, "甲");  // 命中 -> 原创
    EXPECT_EQ(baidu.changes[0].before, S::Hit);
    EXPECT_EQ(baidu.changes[0].after, S::Original);
    EXPECT_EQ(baidu.changes[1].text, "丁");  // added
    EXPECT_EQ(baidu.changes[1].before, std::nullopt);
    EXPECT_EQ(baidu.changes[2].text, "重");  // its second occurrence is gone
    EXPECT_EQ(baidu.changes[2].after, std::nullopt);
    EXPECT_EQ(baidu.changes[3].text, "丙");
    EXPECT_EQ(baidu.changes[3].before, S::Unverified);
    // An engine of the earlier check only: all its segments are gone.
    EXPECT_EQ(result[1].engine, Engine::So360);
    EXPECT_EQ(result[1].valueAfter, "");
    ASSERT_EQ(result[1].changes.size(), 1u);
    EXPECT_EQ(result[1].changes[0].after, std::nullopt);
}

}  // namespace
}  // namespace oc
