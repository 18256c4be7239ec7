// Articles from documents of every format the program reads, and the files
// it refuses, on the committed fixtures of tests/data/documents.
#include "services/document_text.h"

#include <gtest/gtest.h>

#include "services/boundary_text.h"
#include "services/html_text.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {

using testing::G;
using testing::U;

std::string fixture(std::string_view name) {
    return std::string(OC_SOURCE_DIR "/tests/data/documents/").append(name);
}

std::string articleOf(const DocumentText& document) {
    EXPECT_EQ(document.problem, DocumentProblem::None) << U(documentProblemText(document));
    return U(document.article.text);
}

TEST(DocumentText, EachFormatGivesItsTextInOrderWithLinesAsTheBoxHoldsThem) {
    EXPECT_EQ(articleOf(readDocumentText(fixture("article.docx"))),
              "慢一点，再慢一点\r\n"
              "搬到这座城市的第七年，我终于学会了放慢脚步。\r\n"
              "病好以后，我给自己定了一个小规矩：\r\n每个星期至少有一个上午，什么正事也不做。\r\n"
              "\r\n"
              "春天有香椿和春笋\r\n夏天是毛豆和丝瓜\r\n"
              "价钱\t公道 & 新鲜\r\n");

    const std::string pdf = articleOf(readDocumentText(fixture("article.pdf")));
    const std::size_t first = pdf.find("搬到这座城市的第七年，我终于学会了放慢脚步。");
    const std::size_t second = pdf.find("每天在地铁里挤来挤去，午饭对着电脑屏幕草草解决。");
    const std::size_t page2 = pdf.find("第二页：卖豆腐的摊子冒着热气");
    ASSERT_NE(first, std::string::npos) << pdf;
    EXPECT_LT(first, second);
    EXPECT_LT(second, page2);
    EXPECT_NE(pdf.find("\r\n", first), std::string::npos);

    // Saved in GBK with its charset declared: the visible text of the body,
    // blocks on lines of their own, inline markup joined into its line.
    DocumentText page = readDocumentText(fixture("article-gbk.html"));
    EXPECT_EQ(articleOf(page),
              "慢一点，再慢一点\r\n"
              "搬到这座城市的第七年，我终于学会了放慢脚步。\r\n"
              "病好以后，我给自己定了一个小规矩。\r\n每个星期至少有一个上午，什么正事也不做。\r\n"
              "春天有香椿和春笋\r\n夏天是毛豆和丝瓜\r\n");
    EXPECT_EQ(page.title, "慢一点，再慢一点");

    // Plain text keeps today's decoding (here GBK, detected).
    testing::TempFolder folder;
    testing::putFileBytes(folder.nativePath("a.md"), G("第一行\n第二行"));
    EXPECT_EQ(articleOf(readDocumentText(folder.nativePath("a.md"))), "第一行\r\n第二行");
    testing::putFileBytes(folder.nativePath("UPPER.TXT"), "abc");
    EXPECT_EQ(articleOf(readDocumentText(folder.nativePath("UPPER.TXT"))), "abc");
}

TEST(DocumentText, WhatIsNoReadableDocumentIsRefusedWithItsReasonAndNothingElse) {
    struct Case {
        std::string path;
        DocumentProblem problem;
        const char* reason;
    };
    testing::TempFolder folder;
    testing::putFileBytes(folder.nativePath("notes.rtf"), "{\\rtf1 text}");
    testing::putFileBytes(folder.nativePath("broken.pdf"), "%PDF-1.4\nnothing more");
    testing::putFileBytes(folder.nativePath("page.html"),
                          std::string("<html>") + std::string(3, '\0') + "<body>x</body>");
    const std::vector<Case> cases = {
        {fixture("picture.txt"), DocumentProblem::NotText, "不是文本文件"},
        {folder.nativePath("page.html"), DocumentProblem::NotText, "不是文本文件"},
        {fixture("damaged.docx"), DocumentProblem::Damaged, "文件已损坏"},
        {fixture("make_fixtures.py"), DocumentProblem::Unsupported, "不支持的文件格式"},
        {folder.nativePath("notes.rtf"), DocumentProblem::Unsupported, ".docx、.pdf"},
        {folder.nativePath("broken.pdf"), DocumentProblem::Damaged, "文件已损坏"},
        {fixture("expands.docx"), DocumentProblem::Expands, "解压后超过 64 MB"},
        {folder.nativePath("missing.txt"), DocumentProblem::Unreadable, "无法读取"},
        {folder.native(), DocumentProblem::Unreadable, "文件夹"},
    };
    for (const Case& c : cases) {
        DocumentText document = readDocumentText(c.path);
        EXPECT_EQ(document.problem, c.problem) << c.path;
        EXPECT_NE(U(documentProblemText(document)).find(c.reason), std::string::npos)
            << c.path << ": " << U(documentProblemText(document));
        EXPECT_TRUE(document.article.text.empty()) << c.path;
    }
}

TEST(DocumentText, ZeroBytesOfWideTextAndLimitsOfSize) {
    // UTF-16 text is made of zero bytes and is still text.
    const std::string utf16("\xFF\xFE\x2D\x4E\x87\x65", 6);
    EXPECT_NE(documentTextFromBytes(utf16, DocumentFormat::PlainText).problem,
              DocumentProblem::NotText);
    // A zero byte past the probed start is no sign of a binary file.
    std::string late(kTextProbeBytes, 'a');
    late += std::string(1, '\0') + "b";
    EXPECT_EQ(documentTextFromBytes(late, DocumentFormat::PlainText).problem,
              DocumentProblem::None);
    std::string huge(kMaxArticleBytes + 1, 'a');
    for (DocumentFormat format : {DocumentFormat::PlainText, DocumentFormat::Docx}) {
        EXPECT_EQ(documentTextFromBytes(huge, format).problem, DocumentProblem::TooLarge);
    }
    EXPECT_EQ(readDocumentText("/dev/zero").problem, DocumentProblem::TooLarge);
}

TEST(HtmlText, MainTextIsTheArticleOrTheLargestBodyOfParagraphsWithoutSurroundings) {
    const std::string withArticle = R"(<html><head><title>新闻</title></head><body>
<header><a href="/">首页</a> <a href="/news">新闻</a></header>
<nav><ul><li>导航一</li><li>导航二</li></ul></nav>
<article><h1>标题在这里</h1><p>第一段正文。</p><p>第二段<em>正文</em>。</p>
<aside>相关阅读</aside></article>
<section class="comments"><article><p>短评</p></article></section>
<footer>版权所有</footer><script>var s = "脚本";</script></body></html>)";
    EXPECT_EQ(mainHtmlText(withArticle).text, "标题在这里\n第一段正文。\n第二段正文。\n");
    EXPECT_EQ(mainHtmlText(withArticle).title, "新闻");

    // No <article>: the element whose paragraphs hold the most text, not the
    // comments below it, nor the menu.
    const std::string withComments = R"(<html><body>
<div id="menu"><p>首页</p><p>关于</p></div>
<div id="content"><h2>慢一点</h2><p>搬到这座城市的第七年，我终于学会了放慢脚步。</p>
<p>病好以后，我给自己定了一个小规矩。</p></div>
<div id="comments"><p>写得好</p><p>同感</p></div></body></html>)";
    EXPECT_EQ(mainHtmlText(withComments).text,
              "慢一点\n搬到这座城市的第七年，我终于学会了放慢脚步。\n"
              "病好以后，我给自己定了一个小规矩。\n");

    // Without paragraphs the body is the main text, its surroundings dropped;
    // the visible text keeps them.
    const std::string plain =
        "<body><nav>菜单</nav><div>只有一句话<br>和第二行</div><footer>页脚</footer></body>";
    EXPECT_EQ(mainHtmlText(plain).text, "只有一句话\n和第二行\n");
    EXPECT_EQ(visibleHtmlText(plain).text, "菜单\n只有一句话\n和第二行\n页脚\n");
}

}  // namespace
}  // namespace oc
