// Pages nested far deeper than the HTML parser's default of 256 levels keep
// their results and sources; a page built to nest without end is still read
// up to the parser's bound, and ends.
#include <gtest/gtest.h>

#include "check/engine_tables.h"
#include "check/highlight.h"
#include "check/segment_source.h"
#include "services/conversions.h"
#include "services/encoding.h"
#include "services/html_document.h"
#include "tests/support/gbk.h"
#include "text/regex.h"

namespace oc {
namespace {
using testing::G;

const std::string kSegment =
    "春风又绿江南岸明月何时照我还床前明月光疑是地上霜举头望明月低头思故乡白日依山尽";
const std::string kRun = "床前明月光疑是地上霜举头望明月";  // 15 characters

std::string repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

// A Baidu result page whose one result lies inside `depth` wrappers.
std::string nestedPage(std::size_t depth) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>百度一下</title></head>"
           "<body><div id=\"content_left\">" +
           repeat("<div class=\"wrap\">", depth) +
           "<div class=\"result c-container\" mu=\"https://deep.example.cn/a\">"
           "<h3 class=\"t\"><a href=\"/link?url=x\">深处的结果</a></h3>"
           "<div class=\"c-abstract\"><em>" +
           kRun + "</em></div></div>" + repeat("</div>", depth) + "</div></body></html>";
}

SourceOutcome sourceOf(const std::string& html) {
    const Text text = toText(convertEncoding(ByteSet(html), "UTF-8", "GB18030"));
    RegexMatchList matches;
    findAllMatches(kHighlightPattern, text, matches);
    std::vector<PageRuns> pages{
        {text, "http://www.baidu.com/s?wd=x", qualifyingRuns(G(kSegment), text, matches, 24)}};
    return attributeRuns(pages, engineTable(Engine::Baidu).blocks, {});
}

TEST(DeepPage, AResultAThousandLevelsDeepKeepsItsSource) {
    for (std::size_t depth : {300u, 1000u, 3000u}) {
        SourceOutcome outcome = sourceOf(nestedPage(depth));
        EXPECT_EQ(outcome.hits, 1) << depth;
        ASSERT_TRUE(outcome.source) << depth;
        EXPECT_EQ(outcome.source->title, "深处的结果") << depth;
        EXPECT_EQ(outcome.source->domain, "deep.example.cn") << depth;
    }
}

TEST(DeepPage, APageNestedWithoutEndIsReadUpToTheBound) {
    // Beyond the bound the rest of the page is not parsed: the run still
    // counts (it is found in the text), only its source is not named.
    SourceOutcome outcome = sourceOf(nestedPage(kMaxHtmlDepth + 100));
    EXPECT_EQ(outcome.hits, 1);
    EXPECT_FALSE(outcome.source);
    // An HTML document inside the bound keeps its text below the 256th level.
    HtmlDocument deep("<html><body>" + repeat("<div>", 1000) + "<p>最深处的字</p></body></html>");
    ASSERT_TRUE(deep.ok());
    EXPECT_EQ(deep.text(deep.selectFirst("//p")), "最深处的字");
}

}  // namespace
}  // namespace oc
