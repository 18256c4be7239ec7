#include "corpus/shared_runs.h"

#include <gtest/gtest.h>

#include "corpus/code_points.h"

namespace oc::corpus {
namespace {

std::vector<std::u32string> runTexts(std::u32string_view text, std::u32string_view query) {
    CodePoints keys = matchKeys(text);
    std::vector<std::u32string> out;
    for (const SharedRun& run : sharedRuns(keys, matchKeys(query))) {
        out.push_back(keys.substr(run.start, run.length));
    }
    return out;
}

TEST(SharedRuns, VerbatimSegmentIsOneRunAndShortOverlapsStayShort) {
    std::u32string segment = U"炒糖色是关键的一步。锅里放少许油和冰糖，小火慢慢熬";
    std::u32string document = U"红烧肉人人会做。" + segment + U"，糖从白变黄。";
    auto runs = runTexts(document, segment);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], matchKeys(segment));  // the comma shows in its folded form

    // An original sentence only meets the document in short runs.
    auto shortRuns = runTexts(document, U"今天的火锅里放了少许冰糖和辣椒");
    EXPECT_EQ(shortRuns, (std::vector<std::u32string>{U"锅里放", U"少许", U"冰糖"}));
}

TEST(SharedRuns, RunsAreSubstringsOfTheQueryAndNeverOverlap) {
    std::u32string query = U"甲乙丙丁，戊己庚辛。壬癸";
    std::u32string text = U"乙丙丁戊，己庚辛。壬癸甲乙丙丁，戊己";
    CodePoints keys = matchKeys(text);
    CodePoints queryKeys = matchKeys(query);
    std::size_t end = 0;
    for (const SharedRun& run : sharedRuns(keys, queryKeys)) {
        EXPECT_GE(run.start, end);
        EXPECT_GE(run.length, 2u);
        EXPECT_NE(queryKeys.find(keys.substr(run.start, run.length)), CodePoints::npos);
        end = run.start + run.length;
    }
    // The longest run is taken first, whole.
    EXPECT_EQ(runTexts(text, query)[2], U"甲乙丙丁,戊己");
}

TEST(SharedRuns, PunctuationNeverBeginsOrEndsARun) {
    EXPECT_EQ(runTexts(U"水，一滴", U"水，一"), (std::vector<std::u32string>{U"水,一"}));
    EXPECT_TRUE(runTexts(U"好，一", U"，一").empty());
    EXPECT_EQ(runTexts(U"“天空”很蓝", U"“天空”"), (std::vector<std::u32string>{U"天空"}));
}

TEST(SharedRuns, SeparatorsAndHtmlCharactersSplitRuns) {
    // A line end in the query or the text breaks the run; < and & never join one.
    EXPECT_EQ(runTexts(U"天很冷风很大", U"天很冷\r\n风很大"),
              (std::vector<std::u32string>{U"天很冷", U"风很大"}));
    EXPECT_EQ(runTexts(U"天很冷\n风很大", U"天很冷风很大"),
              (std::vector<std::u32string>{U"天很冷", U"风很大"}));
    EXPECT_EQ(runTexts(U"甲<乙丙&丁", U"甲<乙丙&丁"), (std::vector<std::u32string>{U"乙丙"}));
    EXPECT_TRUE(runTexts(U"甲乙", U"").empty());
    EXPECT_TRUE(runTexts(U"", U"甲乙").empty());
}

TEST(SharedRuns, FullWidthFormsMatchTheirAsciiForms) {
    EXPECT_EQ(runTexts(U"第ＡＢ１号", U"第AB1号"), (std::vector<std::u32string>{U"第AB1号"}));
}

TEST(LongestSharedRun, FindsTheLeftmostLongest) {
    CodePoints text = matchKeys(U"甲乙丙。甲乙丙丁。丙丁");
    SharedRun run = longestSharedRun(text, matchKeys(U"甲乙丙丁"));
    EXPECT_EQ(run, (SharedRun{4, 4}));
    EXPECT_EQ(longestSharedRun(text, matchKeys(U"戊")), SharedRun{});
}

}  // namespace
}  // namespace oc::corpus
