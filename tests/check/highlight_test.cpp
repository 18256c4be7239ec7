#include "check/highlight.h"

#include <gtest/gtest.h>

#include "services/page_decoding.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;
using testing::U;

// n distinct Chinese characters starting at a chosen GBK row.
Text chinese(int n, int row = 0xC0) {
    Text out;
    for (int i = 0; i < n; ++i) {
        out += static_cast<char>(row + i / 90);
        out += static_cast<char>(0xA1 + i % 90);
    }
    return out;
}

Text highlighted(const Text& fragment) {
    return "<a>" + G("标题") + "<em>" + fragment + "</em></a>";
}

// The Baidu pass: findAllMatches, then the count.
int hitsOnPage(const Text& segment, const Text& page, int thresholdBytes) {
    RegexMatchList matches;
    findAllMatches(kHighlightPattern, page, matches);
    return countHighlightHits(segment, page, matches, thresholdBytes);
}

TEST(HighlightHits, OnlyFragmentsOfAtLeastTheThresholdCount) {
    const Text segment = chinese(38);
    // 飘红检测数 30: T = 60 bytes.
    EXPECT_EQ(hitsOnPage(segment, highlighted(segment.substr(0, 58)), 60), 0);
    EXPECT_EQ(hitsOnPage(segment, highlighted(segment.substr(0, 60)), 60), 1);
    EXPECT_EQ(hitsOnPage(segment, highlighted(segment.substr(16, 60)), 60), 1);
    // 飘红检测数 5 is raised to 12: T = 24, so 11 characters do not count and 12 do.
    EXPECT_EQ(hitsOnPage(segment, highlighted(segment.substr(0, 10)), 24), 0);
    EXPECT_EQ(hitsOnPage(segment, highlighted(segment.substr(0, 22)), 24), 0);
    EXPECT_EQ(hitsOnPage(segment, highlighted(segment.substr(0, 24)), 24), 1);
    // 飘红检测数 40 against 38-character segments: nothing can count.
    EXPECT_EQ(hitsOnPage(segment, highlighted(segment), 80), 0);
    // A fragment longer than the segment never counts.
    EXPECT_EQ(hitsOnPage(segment, highlighted(segment + G("多")), 24), 0);
}

TEST(HighlightHits, HalfWidthSegmentAgainstTheFragmentAsDelivered) {
    // The page shows the segment's own text with its full-width comma: the segment
    // turns it into ",", the fragment keeps it, so it never counts.
    const Text withComma = chinese(8) + G("，") + chinese(8, 0xC4);
    EXPECT_EQ(hitsOnPage(withComma, highlighted(withComma), 24), 0);
    const Text withDigits = G("２０２４年") + chinese(12);
    EXPECT_EQ(hitsOnPage(withDigits, highlighted(G("２０２４年") + chinese(12)), 24), 0);
    EXPECT_EQ(hitsOnPage(withDigits, highlighted("2024" + G("年") + chinese(12)), 24), 1);

    // Chinese punctuation stays as it is and can count.
    const Text punctuated = chinese(6) + G("。") + chinese(6, 0xC4) + G("、") + chinese(6, 0xC8);
    EXPECT_EQ(hitsOnPage(punctuated, highlighted(punctuated.substr(4, 30)), 24), 1);

    // A fragment holding a tag or an entity cannot occur in a prepared segment.
    EXPECT_EQ(hitsOnPage(chinese(20), highlighted(chinese(6) + "<b>" + chinese(8)), 24), 0);
    EXPECT_EQ(hitsOnPage(chinese(20), highlighted(chinese(6) + "&nbsp;" + chinese(8)), 24), 0);
}

TEST(HighlightHits, CountsEveryMatchOnCharacterBoundariesOnly) {
    const Text segment = chinese(30);
    const Text fragment = segment.substr(2, 40);
    const Text page = highlighted(fragment) + "<p>x</p>" + highlighted(fragment) +
                      highlighted(chinese(20, 0xD0)) + highlighted(segment.substr(0, 24));
    EXPECT_EQ(hitsOnPage(segment, page, 24), 3);

    // B0 B1 B2 B3 ...: the run B1 B2 ... begins on the second byte of a character.
    Text rising;
    for (int byte = 0xB0; byte < 0xB0 + 40; ++byte) {
        rising += static_cast<char>(byte);
    }
    EXPECT_EQ(hitsOnPage(rising, highlighted(rising.substr(1, 30)), 24), 0);
    EXPECT_EQ(hitsOnPage(rising, highlighted(rising.substr(2, 30)), 24), 1);
}

TEST(HighlightHits, The360PassCaseSensitiveMatchesAndEmptyPages) {
    const Text segment = chinese(20);
    const Text page = "<EM>" + segment + "</EM>" + "<em>" + segment + "</em>";
    Regex regex;
    ASSERT_TRUE(regex.compile(kHighlightPattern));
    EXPECT_EQ(countHighlightHits(segment, page, regex.searchAll(page), 24), 1);
    EXPECT_EQ(hitsOnPage(segment, page, 24), 2);
    EXPECT_EQ(countHighlightHits(segment, "", regex.searchAll(""), 24), 0);
}

// The pass reads a page as GB18030 only when its UTF-8 text may hold a run:
// that screening must never miss a run the GB18030 reading finds.
TEST(HighlightHits, TheUtf8ScreeningNeverMissesARun) {
    struct Case {
        const char* name;
        Text segment;
        std::string pageUtf8;
        int thresholdBytes;
        bool runs;  // what the GB18030 reading finds
    };
    const Text segment = chinese(30);
    const Text withUnknown = chinese(12) + "?" + chinese(12, 0xC4);
    const Case cases[] = {
        {"a long run", segment, U(highlighted(segment.substr(0, 30))), 24, true},
        {"too short", segment, U(highlighted(segment.substr(0, 22))), 24, false},
        {"not in the segment", segment, U(highlighted(chinese(20, 0xD0))), 24, false},
        {"half-width digits", G("２０２４年") + chinese(12),
         U(highlighted("2024" + G("年") + chinese(12))), 24, true},
        {"several fragments, one counts", segment,
         U(highlighted(chinese(20, 0xD0)) + highlighted(segment.substr(0, 4)) +
           highlighted(segment.substr(4, 40))),
         24, true},
        // U+E793 has no GB18030 form: it reads "?", which the segment holds.
        {"a character GB18030 lacks", withUnknown,
         U(G("<em>") + chinese(12)) + "\uE793" + U(chinese(12, 0xC4) + G("</em>")), 24, true},
        {"an empty fragment under a zero threshold", segment, "<em></em>", 0, true},
        {"an empty fragment", segment, "<em></em>", 24, false},
    };
    for (const Case& c : cases) {
        Text gb18030;
        appendGb18030(c.pageUtf8, gb18030);
        RegexMatchList gbMatches;
        findAllMatches(kHighlightPattern, gb18030, gbMatches);
        ASSERT_EQ(!qualifyingRuns(c.segment, gb18030, gbMatches, c.thresholdBytes).empty(), c.runs)
            << c.name;
        RegexMatchList utf8Matches;
        findAllMatches(kHighlightPattern, c.pageUtf8, utf8Matches);
        EXPECT_EQ(mayHoldQualifyingRun(c.segment, c.pageUtf8, utf8Matches, c.thresholdBytes),
                  c.runs)
            << c.name;
    }
}

}  // namespace
}  // namespace oc
