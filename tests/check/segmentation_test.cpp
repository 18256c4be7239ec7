#include "check/segmentation.h"

#include <gtest/gtest.h>

#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;

// n distinct-looking Chinese characters (GBK row 0xB0..).
Text chinese(int n) {
    Text out;
    for (int i = 0; i < n; ++i) {
        out += static_cast<char>(0xB0 + i % 40);
        out += static_cast<char>(0xA1 + i % 90);
    }
    return out;
}

SegmentList segmentsOf(const Text& article, int segmentChars) {
    return splitSegments(cutSegments(prepareArticle(article), 2 * segmentChars));
}

std::vector<std::size_t> sizes(const SegmentList& list) {
    std::vector<std::size_t> out;
    for (const Text& s : list) {
        out.push_back(s.size());
    }
    return out;
}

TEST(Segmentation, CutsIntoFullSegmentsAndARemainder) {
    EXPECT_EQ(sizes(segmentsOf(chinese(100), 38)), (std::vector<std::size_t>{76, 76, 48}));
    EXPECT_EQ(sizes(segmentsOf(chinese(76), 38)), (std::vector<std::size_t>{76, 76}));
    EXPECT_EQ(sizes(segmentsOf(chinese(50), 20)), (std::vector<std::size_t>{40, 40, 20}));
    EXPECT_EQ(sizes(segmentsOf(chinese(1), 38)), (std::vector<std::size_t>{2}));
    // Segments rejoin to the prepared text.
    Text all;
    for (const Text& s : segmentsOf(chinese(100), 38)) {
        all += s;
    }
    EXPECT_EQ(all, chinese(100));
}

TEST(Segmentation, SingleByteCharactersShiftLaterBoundaries) {
    Text article = chinese(1) + "\t" + chinese(41).substr(2);
    SegmentList list = segmentsOf(article, 38);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].size(), 75u);  // one character, the TAB and 36 more
    EXPECT_EQ(list[1].size(), 8u);   // the remaining four characters
    EXPECT_EQ(list[0][2], '\t');
}

TEST(Segmentation, NeverSplitsACharacterAtASlotEnd) {
    // A TAB first makes every two-byte character start at an even position, so
    // one starts at k*L - 1 and must stay whole in segment k.
    Text prepared = Text("\t").append(chinese(80));
    for (const Text& s : splitSegments(cutSegments(prepared, 76))) {
        std::size_t i = 0;
        while (i < s.size()) {
            i += isLeadByte(s[i]) ? 2 : 1;
        }
        EXPECT_EQ(i, s.size());
    }
}

TEST(Segmentation, PreparationDropsAsciiAndKeepsLineBreaks) {
    Text article = "  \r\n" + G("第一段Hello文字") + "\r\n" + G("第二段 123 文字") + "  \r\n";
    Text prepared = prepareArticle(article);
    EXPECT_EQ(prepared, G("第一段文字") + "\r\n" + G("第二段文字"));
    EXPECT_EQ(articleCharCount(prepared), 11);  // CR LF counts as one character
    EXPECT_EQ(articleCharCount(prepareArticle("English only, 42!")), 0);
    EXPECT_TRUE(segmentsOf("English only, 42!", 38).empty());
    EXPECT_TRUE(splitSegments(cutSegments("", 76)).empty());
}

TEST(Segmentation, TheMarkerInsideTheArticleCutsToo) {
    Text article = G("甲乙") + kSegmentMarker + G("丙丁");
    SegmentList list = segmentsOf(article, 38);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], G("甲乙"));
    EXPECT_EQ(list[1], G("丙丁"));
}

TEST(Segmentation, ANonPositiveSegmentLengthCountsAsTheDefault) {
    EXPECT_EQ(sizes(splitSegments(cutSegments(chinese(100), 0))),
              (std::vector<std::size_t>{76, 76, 48}));
    EXPECT_EQ(sizes(splitSegments(cutSegments(chinese(100), -4))),
              (std::vector<std::size_t>{76, 76, 48}));
}

}  // namespace
}  // namespace oc
