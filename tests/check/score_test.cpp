#include "check/score.h"

#include <gtest/gtest.h>

#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::U;

TEST(Originality, PercentageText) {
    const struct {
        int unmatched;
        int total;
        const char* text;
    } cases[] = {{16, 19, "84.21%"}, {1, 3, "33.33%"}, {2, 3, "66.67%"},   {1, 8, "12.5%"},
                 {0, 5, "0%"},       {5, 5, "100%"},   {29, 38, "76.32%"}, {37, 38, "97.37%"},
                 {1, 7, "14.29%"},   {29, 100, "29%"}, {1, 1, "100%"}};
    for (const auto& c : cases) {
        EXPECT_EQ(formatOriginality(c.unmatched, c.total), c.text) << c.unmatched << "/" << c.total;
    }
    // No segments: no value.
    EXPECT_EQ(formatOriginality(0, 0), "");
    EXPECT_EQ(originalityVerdict(0, 0), "");
}

TEST(Originality, WholePercentTruncatesTheValue) {
    EXPECT_EQ(wholePercent(29, 100), 28);  // 28.999999999999996, printed as 29%
    EXPECT_EQ(wholePercent(16, 19), 84);
    EXPECT_EQ(wholePercent(9999, 10000), 99);
    EXPECT_EQ(wholePercent(60, 100), 60);
    EXPECT_EQ(wholePercent(80, 100), 80);
    EXPECT_EQ(wholePercent(90, 100), 90);
    EXPECT_EQ(wholePercent(99, 100), 99);
    EXPECT_EQ(wholePercent(5, 5), 100);
    EXPECT_EQ(U(originalityVerdict(29, 100)), "别灰心额，还需努力");
    EXPECT_EQ(U(originalityVerdict(16, 19)), "百尺竿头，更进一步");
}

TEST(Originality, VerdictRanges) {
    const struct {
        int v;
        const char* comment;
    } cases[] = {{0, "别灰心额，还需努力"},  {59, "别灰心额，还需努力"}, {60, "已经合格，有待提升"},
                 {79, "已经合格，有待提升"}, {80, "百尺竿头，更进一步"}, {89, "百尺竿头，更进一步"},
                 {90, "非常不错，挑战满分"}, {98, "非常不错，挑战满分"}, {99, "你乃神人，此文原创"},
                 {100, "你乃神人，此文原创"}};
    for (const auto& c : cases) {
        EXPECT_EQ(U(verdictForPercent(c.v)), c.comment) << c.v;
    }
}

}  // namespace
}  // namespace oc
