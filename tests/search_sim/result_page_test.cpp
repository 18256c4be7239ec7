#include "app/search_sim/result_page.h"

#include <gtest/gtest.h>

#include "tests/search_sim/page_helpers.h"

namespace oc::sim {
namespace {

using testing::emFragments;

TEST(HighlightedHtml, WrapsSharedRunsAndEscapesEverythingElse) {
    std::string html =
        highlightedHtml(U"a<b>&“引号”里，春眠不觉晓\n下一行", matchKeys(U"春眠不觉晓"));
    EXPECT_EQ(html, "a&lt;b&gt;&amp;“引号”里，<em>春眠不觉晓</em> 下一行");
    // Inside em: the query's own (folded) characters, never a tag or an entity.
    EXPECT_EQ(highlightedHtml(U"甲&乙丙", matchKeys(U"甲&乙丙")), "甲&amp;<em>乙丙</em>");
}

TEST(HighlightedHtml, ClosesAHighlightAtPunctuationAndWhiteSpaceAsTheEnginesDo) {
    // A sentence with commas: one highlight per clause, the marks (as the page
    // has them) between them.
    std::u32string text = U"他说：天很冷，风很大，快回家。";
    std::u32string query = U"天很冷,风很大,快回家";
    EXPECT_EQ(highlightedHtml(text, matchKeys(query)),
              "他说：<em>天很冷</em>，<em>风很大</em>，<em>快回家</em>。");
    // Latin words and digits: a space ends a highlight too.
    std::string latin = highlightedHtml(U"苹果在2023年发布了iPhone 15 Pro，价格不变",
                                        matchKeys(U"2023年发布了iPhone 15 Pro,价格不变"));
    EXPECT_EQ(emFragments(latin),
              (std::vector<std::string>{"2023年发布了iPhone", "15", "Pro", "价格不变"}));
    // The earlier style: one highlight across the comma, in its folded form.
    EXPECT_EQ(emFragments(highlightedHtml(text, matchKeys(query), HighlightStyle::Runs)),
              (std::vector<std::string>{"天很冷,风很大,快回家"}));
}

TEST(AbstractOf, IsCutAroundTheLongestSharedRun) {
    std::u32string before(300, U'前');
    std::u32string after(300, U'后');
    std::u32string body = before + U"春眠不觉晓处处闻啼鸟" + after;
    CodePoints abstract = abstractOf(body, matchKeys(U"春眠不觉晓处处闻啼鸟"));
    EXPECT_NE(abstract.find(U"春眠不觉晓处处闻啼鸟"), CodePoints::npos);
    EXPECT_TRUE(abstract.starts_with(U"..."));
    EXPECT_TRUE(abstract.ends_with(U"..."));
    EXPECT_EQ(abstract.size(), kAbstractChars + 6);

    // A run longer than the usual abstract still shows whole.
    std::u32string longRun(150, U'长');
    EXPECT_NE(abstractOf(before + longRun + after, matchKeys(longRun)).find(longRun),
              CodePoints::npos);
    // No shared run: the start of the body; a short body: all of it.
    EXPECT_TRUE(abstractOf(body, matchKeys(U"无关")).starts_with(U"前前前"));
    EXPECT_EQ(abstractOf(U"很短的正文", matchKeys(U"正文")), U"很短的正文");
    EXPECT_EQ(abstractOf(before + U"结尾", matchKeys(U"结尾")).substr(0, 3), U"...");
}

TEST(RenderResultPage, ShowsTitleAbstractAndUrlOfEveryResult) {
    Document tea{"tea notes.txt", U"老城的<茶馆>",
                 U"跑堂的伙计提着长嘴铜壶，隔着半张桌子往碗里续水。"};
    ResultPage page;
    page.query = "跑堂的伙计提着长嘴铜壶<script>";
    page.queryKeys = matchKeys(U"跑堂的伙计提着长嘴铜壶<script>");
    page.total = 1;
    page.documents = {&tea};
    for (EngineForm form : {EngineForm::Baidu, EngineForm::So360}) {
        page.form = form;
        std::string html = renderResultPage(page);
        EXPECT_NE(html.find("http://corpus.local/tea%20notes.txt"), std::string::npos);
        EXPECT_NE(html.find("老城的&lt;茶馆&gt;"), std::string::npos);
        EXPECT_EQ(html.find("<script>"), std::string::npos);
        EXPECT_EQ(emFragments(html), (std::vector<std::string>{"跑堂的伙计提着长嘴铜壶"}));
    }
    page.total = 0;
    page.documents.clear();
    std::string none = renderResultPage(page);
    EXPECT_TRUE(emFragments(none).empty());
    EXPECT_TRUE(emFragments(renderCaptchaPage(EngineForm::Baidu)).empty());
}

}  // namespace
}  // namespace oc::sim
