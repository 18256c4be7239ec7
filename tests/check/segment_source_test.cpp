#include "check/segment_source.h"
#include "check/engine_tables.h"

#include <gtest/gtest.h>

#include "check/result_blocks.h"
#include "services/conversions.h"
#include "services/encoding.h"
#include "services/html_document.h"
#include "tests/support/gbk.h"
#include "tests/support/generated_result_page.h"

namespace oc {
namespace {
using testing::G;

// Threshold 24 bytes: runs of 12 characters and more qualify.
constexpr int kThreshold = 24;
const char kBaiduQuery[] = "http://www.baidu.com/s?wd=%D6%D0&rn=20&lm=0";
const char k360Query[] = "http://www.so.com/s?q=x&pn=1";

// The segment every fixture page highlights parts of (38 characters).
const std::string kSegment =
    "春风又绿江南岸明月何时照我还床前明月光疑是地上霜举头望明月低头思故乡白日依山尽";
const std::string kRunShort = "春风又绿江南岸明月何时照";       // 12 characters
const std::string kRunLong = "床前明月光疑是地上霜举头望明月";  // 15 characters
const std::string kRunMiddle = "明月何时照我还床前明月光疑";    // 13 characters

// The page as a pass holds it: UTF-8 bytes decoded to GB18030.
Text pageText(const std::string& html) {
    return toText(convertEncoding(ByteSet(html), "UTF-8", "GB18030"));
}

SourceOutcome sourceOf(const std::vector<std::string>& htmlPages, const ResultBlockForm& form,
                       const IgnoreList& ignore = {}, const char* url = kBaiduQuery) {
    std::vector<Text> texts;
    for (const std::string& html : htmlPages) {
        texts.push_back(pageText(html));
    }
    std::vector<PageRuns> pages;
    const Text segment = G(kSegment);
    for (const Text& text : texts) {
        RegexMatchList matches;
        findAllMatches(kHighlightPattern, text, matches);
        pages.push_back({text, url, qualifyingRuns(segment, text, matches, kThreshold)});
    }
    return attributeRuns(pages, form, ignore);
}

std::string em(const std::string& run) {
    return "<em>" + run + "</em>";
}

std::string baiduBlock(const std::string& attributes, const std::string& title,
                       const std::string& body) {
    return "<div " + attributes + "><h3 class=\"t\"><a href=\"/link?url=R" +
           std::to_string(title.size()) + "\" target=\"_blank\">" + title + "</a></h3>" +
           "<div class=\"c-abstract\">" + body + "</div></div>\n";
}

std::string baiduPage(const std::string& content) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>百度一下</title>"
           "<script>var q = \"</div>\";</script></head><body><div id=\"content_left\">\n" +
           content + "</div></body></html>";
}

std::string block360(const std::string& mdurl, const std::string& title, const std::string& body) {
    return "<li class=\"res-list\" data-index=\"1\"><h3 class=\"res-title \"><a "
           "href=\"https://www.so.com/link?m=abc\"" +
           (mdurl.empty() ? std::string() : " data-mdurl=\"" + mdurl + "\"") + ">" + title +
           "</a></h3><p class=\"res-desc\">" + body + "</p></li>\n";
}

std::string page360(const std::string& content) {
    return "<html><head><meta charset=\"utf-8\"></head><body><ul class=\"result\">" + content +
           "</ul></body></html>";
}

TEST(SegmentSource, BaiduSourceIsTheBlockWithTheLongestRun) {
    std::string html = baiduPage(
        // An engine card: result-op still makes a c-container a block.
        baiduBlock("class=\"result-op c-container xpath-log\" tpl=\"sg_kg\"", "百科卡片",
                   em(kRunShort)) +
        baiduBlock("class=\"result c-container\" tpl=\"www_index\" "
                   "mu=\" https://www.Example.com/a?x=1&amp;y=2 \"",
                   "示例  <em>文章</em>\n &amp; 标题&nbsp;一", "开头" + em(kRunLong) + "结尾") +
        // Not a block: c-container-inner is another token; an ad has no token.
        "<div class=\"c-container-inner\">" + em(kRunLong + "低") + "</div>" +
        "<div class=\"ec_ad\" data-tuiguang=\"1\">" + em(kRunLong + "低") + "</div>");
    SourceOutcome outcome = sourceOf({html}, engineTable(Engine::Baidu).blocks);
    EXPECT_EQ(outcome.hits, 4);  // every qualifying run counts, in a block or not
    ASSERT_TRUE(outcome.source);
    EXPECT_EQ(outcome.source->title, "示例 文章 & 标题 一");
    EXPECT_EQ(outcome.source->address, "https://www.Example.com/a?x=1&y=2");
    EXPECT_EQ(outcome.source->domain, "www.example.com");

    // Without mu the title link's redirect, made absolute, is the address: on
    // the engine's own host it names no domain.
    html = baiduPage(baiduBlock("class=\"c-container\" mu=\"  \"", "第二个", em(kRunMiddle)));
    outcome = sourceOf({html}, engineTable(Engine::Baidu).blocks);
    ASSERT_TRUE(outcome.source);
    EXPECT_EQ(outcome.source->address, "http://www.baidu.com/link?url=R9");
    EXPECT_EQ(outcome.source->domain, "");

    // Equal lengths: the earlier run wins.
    html = baiduPage(
        baiduBlock("class=\"c-container\" mu=\"http://first.cn/\"", "一", em(kRunShort)) +
        baiduBlock("class=\"c-container\" mu=\"http://second.cn/\"", "二", em(kRunShort)));
    outcome = sourceOf({html}, engineTable(Engine::Baidu).blocks);
    EXPECT_EQ(outcome.hits, 2);
    ASSERT_TRUE(outcome.source);
    EXPECT_EQ(outcome.source->domain, "first.cn");
}

TEST(SegmentSource, WithoutRecognisedBlocksHitsStayAndTheSourceIsUnknown) {
    // The 360 form does not recognise a Baidu page, nor a page without blocks.
    std::string baidu = baiduPage(baiduBlock("class=\"c-container\" mu=\"http://a.cn/\"", "标题",
                                             em(kRunLong) + em(kRunShort)));
    SourceOutcome outcome = sourceOf({baidu}, engineTable(Engine::So360).blocks);
    EXPECT_EQ(outcome.hits, 2);
    EXPECT_FALSE(outcome.source);
    outcome = sourceOf({"<p>" + em(kRunLong) + "</p><p>" + em(kRunLong)},
                       engineTable(Engine::Baidu).blocks);
    EXPECT_EQ(outcome.hits, 2);
    EXPECT_FALSE(outcome.source);
    // Runs too short, or not in the segment, name nothing.
    outcome = sourceOf({baiduPage(baiduBlock("class=\"c-container\"", "短",
                                             em("春风又绿") + em("完全不同的文字内容十二个字")))},
                       engineTable(Engine::Baidu).blocks);
    EXPECT_EQ(outcome.hits, 0);
    EXPECT_FALSE(outcome.source);
}

TEST(SegmentSource, RunsBelongToTheInnermostBlockAroundTheirPosition) {
    std::string html = baiduPage(
        "<div class=\"c-container\" mu=\"http://outer.cn/\"><h3><a href=\"/o\">外层</a></h3>"
        "<div class=\"c-container\" mu=\"http://inner.cn/\"><h3 class=\"t\">内层标题</h3>" +
        em(kRunShort) + "</div>" + em(kRunLong) + "</div>");
    SourceOutcome outcome = sourceOf({html}, engineTable(Engine::Baidu).blocks);
    ASSERT_TRUE(outcome.source);
    EXPECT_EQ(outcome.source->domain, "outer.cn");
    EXPECT_EQ(outcome.source->title, "外层");

    // The longer run now in the inner block, whose title is its own heading.
    html = baiduPage(
        "<div class=\"c-container\" mu=\"http://outer.cn/\">" + em(kRunShort) +
        "<div class=\"c-container\" mu=\"http://inner.cn/\"><h3 class=\"t\">内层 标题</h3>" +
        em(kRunLong) + "</div></div>");
    outcome = sourceOf({html}, engineTable(Engine::Baidu).blocks);
    ASSERT_TRUE(outcome.source);
    EXPECT_EQ(outcome.source->domain, "inner.cn");
    EXPECT_EQ(outcome.source->title, "内层 标题");

    // Runs in comments, attributes and scripts go by position: inside a block's
    // element they belong to it, before every block to none.
    html = "<html><head><script>var a = \"" + em(kRunLong + "低") + "\";</script></head><body>" +
           baiduBlock("class=\"c-container\" mu=\"http://c.cn/\"", "注释",
                      "<!--s-data:{\"t\":\"" + em(kRunLong) + "\"}--><span title=\"" +
                          em(kRunShort) + "\">x</span>") +
           "</body></html>";
    outcome = sourceOf({html}, engineTable(Engine::Baidu).blocks);
    EXPECT_EQ(outcome.hits, 3);
    ASSERT_TRUE(outcome.source);
    EXPECT_EQ(outcome.source->domain, "c.cn");
}

TEST(SegmentSource, BrokenMarkupAndCharactersBeyondGbkKeepPositionsExact) {
    // Four-byte GB18030 characters before the blocks shift byte offsets between
    // the page text and the parsed UTF-8; an unclosed block ends where its parent does.
    std::string html =
        "<html><body><p>😀𠀀😀 表情 &lt;em&gt;</p><div id=\"content_left\">" +
        std::string(
            "<div class=\"c-container\" mu=\"http://a.cn/\"><h3><a href=\"/1\">标题𠀀</a></h3>") +
        em(kRunShort) + "<p>未闭合" +
        "<div class=\"c-container\" mu=\"http://b.cn/\"><h3><a href=\"/2\">乙</a></h3>" +
        em(kRunLong) + "</div></div>" + "<div class=\"other\">" + em(kRunLong + "低") +
        "</div></body></html>";
    SourceOutcome outcome = sourceOf({html}, engineTable(Engine::Baidu).blocks);
    EXPECT_EQ(outcome.hits, 3);
    ASSERT_TRUE(outcome.source);
    EXPECT_EQ(outcome.source->domain, "b.cn");

    const Text text = pageText(html);
    std::vector<ResultBlock> blocks =
        findResultBlocks(text, engineTable(Engine::Baidu).blocks, kBaiduQuery);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].title, "标题𠀀");  // a character GBK lacks is kept
    EXPECT_EQ(text[blocks[0].open], '>');
    EXPECT_EQ(text.compare(blocks[1].close - 6, 6, "</div>"), 0);
    EXPECT_EQ(blockHolding(blocks, text.find("<em>")), 0);
    EXPECT_EQ(blockHolding(blocks, text.rfind("<em>")), -1);
    // Asked about one offset, every block keeps its place and only the innermost
    // one holding the offset is described, as the whole list describes it.
    const std::vector<std::size_t> inner = {text.find("<em>", blocks[1].open)};
    std::vector<ResultBlock> some =
        findResultBlocks(text, engineTable(Engine::Baidu).blocks, kBaiduQuery, &inner);
    ASSERT_EQ(some.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(some[i].open, blocks[i].open);
        EXPECT_EQ(some[i].close, blocks[i].close);
    }
    EXPECT_EQ(some[1].title, "乙");
    EXPECT_EQ(some[1].address, blocks[1].address);
    EXPECT_EQ(some[1].domain, "b.cn");
    EXPECT_EQ(some[0].title + some[0].address + some[0].domain, "");
    // A page that is no HTML at all has no blocks.
    EXPECT_TRUE(findResultBlocks("", engineTable(Engine::Baidu).blocks, kBaiduQuery).empty());
    EXPECT_TRUE(
        findResultBlocks("\xFF\xFF", engineTable(Engine::Baidu).blocks, kBaiduQuery).empty());
}

TEST(SegmentSource, So360BlocksAndPageOrder) {
    std::string first =
        page360(block360(" http://www.site.com/x ", "三六零 <em>标题</em>", em(kRunShort)) +
                block360("", "无mdurl", em(kRunMiddle)));
    std::string second = page360(block360("http://later.cn/", "第二页", em(kRunMiddle)));
    SourceOutcome outcome =
        sourceOf({first, second}, engineTable(Engine::So360).blocks, {}, k360Query);
    EXPECT_EQ(outcome.hits, 3);
    ASSERT_TRUE(outcome.source);
    // The blank data-mdurl falls back to the redirect href, on the engine's host.
    EXPECT_EQ(outcome.source->title, "无mdurl");
    EXPECT_EQ(outcome.source->address, "https://www.so.com/link?m=abc");
    EXPECT_EQ(outcome.source->domain, "");
    // A tie across pages goes to page 1.
    outcome = sourceOf({page360(block360("http://p1.cn/", "一", em(kRunShort))),
                        page360(block360("http://p2.cn/", "二", em(kRunShort)))},
                       engineTable(Engine::So360).blocks, {}, k360Query);
    ASSERT_TRUE(outcome.source);
    EXPECT_EQ(outcome.source->domain, "p1.cn");
    // The Baidu form does not read a 360 page.
    outcome = sourceOf({first}, engineTable(Engine::Baidu).blocks, {}, k360Query);
    EXPECT_EQ(outcome.hits, 2);
    EXPECT_FALSE(outcome.source);
}

// The benchmark's generated page in each engine's markup: each engine's form
// finds every block in its place, and the same highlighted run names the same
// result in both, 360's with the target of its data-mdurl.
TEST(SegmentSource, GeneratedPagesInBothMarkupsNameTheSameResults) {
    testing::GeneratedPageShape shape360;
    shape360.markup = testing::ResultMarkup::So360;
    const std::string baiduHtml = testing::generatedResultPage(3);
    const std::string html360 = testing::generatedResultPage(3, shape360);
    EXPECT_LT(
        std::max(baiduHtml.size(), html360.size()) - std::min(baiduHtml.size(), html360.size()),
        baiduHtml.size() / 50);
    const Text baidu = pageText(baiduHtml);
    const Text so360 = pageText(html360);
    const ResultBlockForm& baiduForm = engineTable(Engine::Baidu).blocks;
    const ResultBlockForm& form360 = engineTable(Engine::So360).blocks;
    const std::vector<ResultBlock> baiduBlocks = findResultBlocks(baidu, baiduForm, kBaiduQuery);
    const std::vector<ResultBlock> blocks360 = findResultBlocks(so360, form360, k360Query);
    ASSERT_EQ(baiduBlocks.size(), 200u);
    ASSERT_EQ(blocks360.size(), 200u);
    EXPECT_TRUE(findResultBlocks(so360, baiduForm, k360Query).empty());
    EXPECT_TRUE(findResultBlocks(baidu, form360, kBaiduQuery).empty());
    RegexMatchList baiduEms, ems360;
    findAllMatches(kHighlightPattern, baidu, baiduEms);
    findAllMatches(kHighlightPattern, so360, ems360);
    ASSERT_EQ(baiduEms.size(), 200u);
    ASSERT_EQ(ems360.size(), 200u);
    // Baidu shows the target only as text; 360 carries it in data-mdurl.
    const std::vector<std::string> shown =
        HtmlDocument(baiduHtml).selectTexts("//a[@class='c-showurl']");
    ASSERT_EQ(shown.size(), 200u);
    for (std::size_t i = 0; i < 200; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(baiduEms[i].groupText(baidu, 1), ems360[i].groupText(so360, 1));
        const auto baiduAt = static_cast<std::size_t>(baiduEms[i].spans()[0].start);
        const auto at360 = static_cast<std::size_t>(ems360[i].spans()[0].start);
        EXPECT_EQ(blockHolding(baiduBlocks, baiduAt), static_cast<int>(i));
        EXPECT_EQ(blockHolding(blocks360, at360), static_cast<int>(i));
        EXPECT_EQ(blocks360[i].title, baiduBlocks[i].title);
        EXPECT_EQ(blocks360[i].address, std::string("http://").append(shown[i]));
        EXPECT_EQ(blocks360[i].domain, shown[i].substr(0, shown[i].find('/')));
    }
    // A copied passage (every tenth fragment is one) names its result through
    // the whole attribution, on either page.
    const Text segment = baiduEms[13].groupText(baidu, 1);
    for (const auto& [text, form, url, expected] :
         {std::tuple{&baidu, &baiduForm, kBaiduQuery, &baiduBlocks[13]},
          std::tuple{&so360, &form360, k360Query, &blocks360[13]}}) {
        RegexMatchList matches;
        findAllMatches(kHighlightPattern, *text, matches);
        std::vector<PageRuns> pages{
            {*text, url, qualifyingRuns(segment, *text, matches, kThreshold)}};
        ASSERT_EQ(pages[0].runs.size(), 1u);
        SourceOutcome outcome = attributeRuns(pages, *form, {});
        ASSERT_TRUE(outcome.source);
        EXPECT_EQ(outcome.source->title, expected->title);
        EXPECT_EQ(outcome.source->domain, expected->domain);
    }
}

// The longest run decides across the pages, whichever page holds it and
// whether or not it lies in a block; an ignore list that takes nothing out
// changes nothing.
TEST(SegmentSource, TheLongestRunInABlockDecidesAcrossPages) {
    IgnoreList unrelated;
    unrelated.add(G("unrelated.cn"));
    const std::string shortInBlock = page360(block360("http://p1.cn/", "一", em(kRunShort)));
    const std::string longOutside =
        page360(block360("http://p2.cn/", "二", "无关") + "<p>" + em(kRunLong) + "</p>");
    const std::string longInBlock = page360(block360("http://p2.cn/", "二", em(kRunLong)));
    struct Case {
        std::vector<std::string> pages;
        std::string domain;  // of the source; empty: none
        std::size_t runBytes;
    };
    const Case cases[] = {
        {{shortInBlock, longOutside}, "p1.cn", G(kRunShort).size()},
        {{shortInBlock, longInBlock}, "p2.cn", G(kRunLong).size()},
        {{longOutside, longOutside}, "", 0},
    };
    for (const IgnoreList& ignore : {IgnoreList(), unrelated}) {
        for (const Case& c : cases) {
            SourceOutcome outcome =
                sourceOf(c.pages, engineTable(Engine::So360).blocks, ignore, k360Query);
            EXPECT_EQ(outcome.hits, 2);
            EXPECT_EQ(outcome.source ? outcome.source->domain : "", c.domain);
            EXPECT_EQ(outcome.sourceRunBytes, c.runBytes);
        }
    }
}

TEST(SegmentSource, IgnoredDomainsTakeOutTheRunsOfTheirBlocks) {
    std::string html = baiduPage(
        baiduBlock("class=\"c-container\" mu=\"https://blog.mysite.cn/post/1\"", "我的博客",
                   em(kRunLong)) +
        baiduBlock("class=\"c-container\" mu=\"http://copy.cn/\"", "转载", em(kRunShort)) +
        "<div class=\"ad\">" + em(kRunMiddle) + "</div>");
    IgnoreList ignore;
    ignore.add(G("MySite.cn"));
    SourceOutcome outcome = sourceOf({html}, engineTable(Engine::Baidu).blocks, ignore);
    EXPECT_EQ(outcome.hits, 2);  // the run outside every block still counts
    ASSERT_TRUE(outcome.source);
    EXPECT_EQ(outcome.source->domain, "copy.cn");

    ignore.add(G("copy.cn"));
    outcome = sourceOf({html}, engineTable(Engine::Baidu).blocks, ignore);
    EXPECT_EQ(outcome.hits, 1);
    EXPECT_FALSE(outcome.source);  // 未识别: the one run left lies outside the blocks

    // Every run in ignored blocks: no hit at all. The engine's own redirect host is never ignored.
    outcome = sourceOf({baiduPage(baiduBlock("class=\"c-container\" mu=\"http://copy.cn/\"", "转载",
                                             em(kRunLong)))},
                       engineTable(Engine::Baidu).blocks, ignore);
    EXPECT_EQ(outcome.hits, 0);
    EXPECT_FALSE(outcome.source);
    IgnoreList engine;
    engine.add(G("baidu.com"));
    outcome = sourceOf({baiduPage(baiduBlock("class=\"c-container\"", "跳转", em(kRunLong)))},
                       engineTable(Engine::Baidu).blocks, engine);
    EXPECT_EQ(outcome.hits, 1);
    ASSERT_TRUE(outcome.source);
}

}  // namespace
}  // namespace oc
