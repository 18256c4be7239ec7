#include "check/article_marks.h"
#include "check/sentence_pieces.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "check/segmentation.h"
#include "services/boundary_text.h"
#include "tests/support/gbk.h"
#include "text/article_filters.h"

namespace oc {
namespace {
using testing::G;
using testing::U;

std::vector<Text> segmentsOf(const Text& article, int segmentChars) {
    SegmentList list = splitSegments(cutSegments(prepareArticle(article), 2 * segmentChars));
    return {list.begin(), list.end()};
}

std::string lineBreaks(std::string text, const std::string& lineEnd) {
    std::string out;
    for (char c : text) {
        out += c == '\n' ? lineEnd : std::string(1, c);
    }
    return out;
}

// Every segment is found, in order, and its stretch of the article reads as the
// segment once the preparation's removals are made.
void expectEverySegmentFound(const Text& article, int segmentChars) {
    std::vector<Text> segments = segmentsOf(article, segmentChars);
    std::vector<std::optional<ArticleSpan>> spans = locateSegments(article, segments);
    ASSERT_EQ(spans.size(), segments.size());
    std::size_t previousEnd = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        Text expected = segments[i];
        while (!expected.empty() && (expected.back() == '\n' || expected.back() == '\r')) {
            expected.pop_back();
        }
        while (!expected.empty() && (expected.front() == '\n' || expected.front() == '\r')) {
            expected.erase(0, 1);
        }
        if (expected.empty()) {
            EXPECT_FALSE(spans[i]);
            continue;
        }
        ASSERT_TRUE(spans[i]) << U(segments[i]);
        EXPECT_GE(spans[i]->begin, previousEnd);
        previousEnd = spans[i]->end;
        Text stretch = article.substr(spans[i]->begin, spans[i]->end - spans[i]->begin);
        EXPECT_EQ(U(keepNonAsciiChars(stretch)), U(expected)) << "segment " << i;
    }
}

TEST(ArticleMarks, SegmentsOfRealArticlesAreFoundWhereTheyCameFrom) {
    std::ifstream file(std::string(OC_SOURCE_DIR) + "/data/sample-article.txt", std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    const Text sample = G(content.str());
    ASSERT_GT(sample.size(), 1000u);
    for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
        expectEverySegmentFound(G(lineBreaks(content.str(), lineEnd)), 38);
    }
    expectEverySegmentFound(sample, 10);

    // Blank lines, ASCII runs between Chinese text, full-width punctuation and
    // letters, leading white space, tabs.
    expectEverySegmentFound(
        G("  \n\n第一段里有 ASCII words 123 和全角ＡＢＣ１２３，还有标点：“引号”、《书名》。\n\n\n"
          "Second paragraph is English only.\n\t第三段也在文中！？…… end"),
        7);
}

TEST(ArticleMarks, SpansCoverTheSegmentWithTheAsciiInsideItAndLeaveLineBreaksOut) {
    const Text article = G("ab原创x文章\r\n\r\ncd检测");
    // Cut at 6 bytes: 原创文 / 章\r\n\r / \n检测 (line breaks count one byte each).
    std::vector<Text> segments = segmentsOf(article, 3);
    ASSERT_EQ(segments.size(), 3u);
    std::vector<std::optional<ArticleSpan>> spans = locateSegments(article, segments);
    EXPECT_EQ(spans[0], (ArticleSpan{2, 9}));    // 原创x文: the x inside is covered
    EXPECT_EQ(spans[1], (ArticleSpan{9, 11}));   // 章 without the line breaks after it
    EXPECT_EQ(spans[2], (ArticleSpan{17, 21}));  // 检测: the line breaks and cd before it left out
    // A segment the article no longer holds is skipped; the next is still found.
    // One holding ASCII (as whole sentences do) is found by its other characters.
    spans = locateSegments(article, {G("原创x"), G("不在"), segments[2]});
    EXPECT_EQ(spans[0], (ArticleSpan{2, 6}));
    EXPECT_FALSE(spans[1]);
    EXPECT_EQ(spans[2], (ArticleSpan{17, 21}));
    // Whole-sentence pieces: a title joined with a space, windows that overlap.
    std::string longSentence;
    for (int i = 0; i < 4; ++i) {
        longSentence += "夜来风雨声花落知多少";
    }
    const Text sentences = G("标题\r\n春眠不觉晓处处闻啼鸟。" + longSentence + "。");
    const std::vector<Text> pieces = cutSentencePieces(sentences, 20).pieces;
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(locateSegments(sentences, pieces), (std::vector<std::optional<ArticleSpan>>{
                                                     ArticleSpan{0, 28}, ArticleSpan{28, 68},
                                                     ArticleSpan{68, 108}, ArticleSpan{70, 110}}));
    EXPECT_TRUE(locateSegments(Text(), {G("原")})[0] == std::nullopt);
}

TEST(ArticleMarks, DisplaySpansCountLineBreaksOnceWhateverTheirForm) {
    // 甲乙 / blank line / ab丙 / 己: the box shows the same characters whichever
    // line breaks reached the check; 丙 and 己 sit at the same units in all three.
    for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
        const Text article = G(lineBreaks("甲乙\n\nab丙\n己", lineEnd));
        const std::size_t bing = article.find(G("丙"));
        const std::size_t ji = article.find(G("己"));
        std::vector<std::optional<ArticleSpan>> shown = displaySpans(
            article, {ArticleSpan{0, 4}, ArticleSpan{bing - 2, bing + 2}, ArticleSpan{ji, ji + 2}});
        EXPECT_EQ(shown[0], (ArticleSpan{0, 2})) << lineEnd;
        EXPECT_EQ(shown[1], (ArticleSpan{4, 7})) << lineEnd;
        EXPECT_EQ(shown[2], (ArticleSpan{8, 9})) << lineEnd;
    }
    // A character beyond the BMP takes two units, as in a QString.
    const Text wide = "\x95\x32\x82\x36" + G("甲乙");  // U+20000 in GB18030, then 甲乙
    std::vector<std::optional<ArticleSpan>> spans =
        displaySpans(wide, {ArticleSpan{4, 8}, ArticleSpan{0, 99}});
    EXPECT_EQ(spans[0], (ArticleSpan{2, 4}));
    EXPECT_FALSE(spans[1]);
}

}  // namespace
}  // namespace oc
