#include "app/desktop/article_marking.h"

#include <gtest/gtest.h>

#include "app/desktop/qt_text.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;

// The article the passes read differs from the box's text where the box holds
// a character GBK lacks (one "?" in the article, two units in the box) or a
// line break as CR LF: the marks still land on the passages they belong to.
TEST(ArticleMarking, MarksLandOnTheBoxTextWhateverItHolds) {
    const QString box = QStringLiteral("😀甲乙\r\n丙丁\n€戊");
    const Text article = articleTextOf(box);
    auto at = [&](const char* utf8) {
        const std::size_t begin = article.find(G(utf8));
        return ArticleSpan{begin, begin + G(utf8).size()};
    };
    const std::vector<PassageMark> passages = {
        {at("甲乙"), RowStatus::Hit, "百度：命中"},
        {at("丙丁"), RowStatus::Unverified, "360：未核实（被屏蔽）"},
        {at("戊"), RowStatus::Hit, "百度：命中"},
    };
    const std::vector<BoxMark> marks = boxMarksOf(box, article, passages);
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(box.mid(marks[0].begin, marks[0].end - marks[0].begin), QStringLiteral("甲乙"));
    EXPECT_EQ(box.mid(marks[1].begin, marks[1].end - marks[1].begin), QStringLiteral("丙丁"));
    EXPECT_EQ(box.mid(marks[2].begin, marks[2].end - marks[2].begin), QStringLiteral("戊"));
    EXPECT_EQ(marks[0].background, QColor(255, 224, 224));
    EXPECT_EQ(marks[1].background, QColor(224, 224, 224));

    // A passage beyond the text (the box changed) is left out.
    EXPECT_TRUE(boxMarksOf(QStringLiteral("甲"), article, passages).empty());
}

// Titles and addresses come from web pages: the tooltip shows them as text.
TEST(ArticleMarking, TooltipsShowPageTextAsText) {
    const QString box = QStringLiteral("甲乙");
    const std::vector<BoxMark> marks =
        boxMarksOf(box, articleTextOf(box),
                   {{ArticleSpan{0, 4}, RowStatus::Hit,
                     "百度：命中，飘红 2，来源 <img src=x onerror=alert(1)>&amp;\n360：原创"}});
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_FALSE(marks[0].tip.contains(QStringLiteral("<img")));
    EXPECT_TRUE(
        marks[0].tip.contains(QStringLiteral("&lt;img src=x onerror=alert(1)&gt;&amp;amp;")));
    EXPECT_TRUE(marks[0].tip.contains(QStringLiteral("<br>360：原创")));
}

}  // namespace
}  // namespace oc
