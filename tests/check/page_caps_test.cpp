// The highlighted fragments and the result blocks of pages built to cost
// time: found in one pass each, each up to its cap.
#include <gtest/gtest.h>

#include <random>

#include "check/engine_tables.h"
#include "check/highlight.h"
#include "check/result_blocks.h"
#include "services/page_decoding.h"
#include "text/regex.h"

namespace oc {
namespace {

std::vector<std::pair<int, int>> spansOf(const RegexMatchList& matches) {
    std::vector<std::pair<int, int>> out;
    for (const RegexMatch& match : matches) {
        for (const MatchSpan& span : match.spans()) {
            EXPECT_TRUE(span.matched);
            out.emplace_back(span.start, span.length);
        }
    }
    return out;
}

// The scan finds what the pattern finds, in either letter case, on pages of
// tags that nest, open without closing, close without opening or break off.
TEST(HighlightScan, FindsWhatThePatternFinds) {
    std::vector<std::string> pages = {
        "",
        "<em></em>",
        "a<em>b</em>c<em>d</em>",
        "<em>x<em>y</em>z</em>",
        "</em><em>a</em></em>",
        "<em>unclosed",
        "<em>a</em><em>b",
        "<em<em>a</em",
        "<EM>A</Em><eM>b</EM>",
        "<em>\n\r\0</em>",
        "<em>春眠</em>不觉<em>晓</em>",
    };
    std::mt19937 random(7);
    const std::vector<std::string> pieces = {"<em>", "</em>", "<EM>", "</Em>", "<",  "e",
                                             "m",    ">",     "/",    "字",    "<e", "</"};
    for (int i = 0; i < 500; ++i) {
        std::string page;
        for (int k = std::uniform_int_distribution<int>(0, 20)(random); k > 0; --k) {
            page +=
                pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
        }
        pages.push_back(page);
    }
    for (bool caseSensitive : {true, false}) {
        Regex pattern;
        ASSERT_TRUE(pattern.compile(kHighlightPattern, caseSensitive));
        for (const std::string& page : pages) {
            HighlightScan scan = findHighlights(page, caseSensitive);
            EXPECT_EQ(spansOf(scan.matches), spansOf(pattern.searchAll(page))) << page;
            EXPECT_FALSE(scan.cut);
        }
    }
}

TEST(HighlightScan, StopsAtItsCapAndSaysSo) {
    std::string page;
    for (std::size_t i = 0; i < kMaxHighlights + 1; ++i) {
        page += "<em>a</em>";
    }
    HighlightScan all = findHighlights(page, true, kMaxHighlights + 1);
    EXPECT_EQ(all.matches.size(), kMaxHighlights + 1);
    EXPECT_FALSE(all.cut);
    HighlightScan capped = findHighlights(page, true);
    EXPECT_EQ(capped.matches.size(), kMaxHighlights);
    EXPECT_TRUE(capped.cut);
    EXPECT_EQ(capped.matches.back().spans()[0].start, static_cast<int>(10 * (kMaxHighlights - 1)));
    // Eight million tags that never close: none is a fragment.
    std::string open;
    open.reserve(8000000 * 4);
    for (int i = 0; i < 8000000; ++i) {
        open += "<em>";
    }
    HighlightScan none = findHighlights(open + "</e", false);
    EXPECT_TRUE(none.matches.empty());
    EXPECT_FALSE(none.cut);
}

ResultBlock block(std::size_t open, std::size_t close) {
    ResultBlock b;
    b.open = open;
    b.close = close;
    return b;
}

// The innermost holder of every offset, found by looking at every block.
int holderByScan(const std::vector<ResultBlock>& blocks, std::size_t offset) {
    int best = -1;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].open <= offset && offset < blocks[i].close &&
            (best < 0 || blocks[i].open >= blocks[static_cast<std::size_t>(best)].open)) {
            best = static_cast<int>(i);
        }
    }
    return best;
}

// Random trees of blocks (nested or apart, as a parsed page gives them), the
// offsets in order and out of order.
TEST(BlockIndex, EachOffsetGetsItsInnermostBlock) {
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        std::vector<ResultBlock> blocks;
        std::vector<std::size_t> stack;  // indexes of open blocks
        std::size_t at = 0;
        for (int step = 0; step < 40; ++step) {
            at += std::uniform_int_distribution<std::size_t>(0, 3)(random);
            const int action = std::uniform_int_distribution<int>(0, 2)(random);
            if (action == 0 || stack.empty()) {
                stack.push_back(blocks.size());
                blocks.push_back(block(at, 0));
            } else {
                blocks[stack.back()].close = at;
                stack.pop_back();
            }
        }
        for (; !stack.empty(); stack.pop_back()) {
            blocks[stack.back()].close = at + 1;
        }
        std::vector<std::size_t> offsets;
        for (std::size_t offset = 0; offset <= at + 2; ++offset) {
            offsets.push_back(offset);
        }
        if (round % 2 == 1) {
            std::shuffle(offsets.begin(), offsets.end(), random);
        }
        const std::vector<int> holders = blocksHolding(blocks, offsets);
        ASSERT_EQ(holders.size(), offsets.size());
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            EXPECT_EQ(holders[i], holderByScan(blocks, offsets[i])) << round << " " << offsets[i];
        }
    }
}

// 255,000 blocks each holding a run, as one page of 32 MiB may: the first
// 5,000 are listed and described, the rest left unexamined.
TEST(BlockIndex, APageOfABlocksIsReadUpToTheCap) {
    const std::string run = "<em>春天的早晨我们沿着河边</em>";
    std::string page = "<html><body>";
    page.reserve(255000 * 96);
    for (int i = 0; i < 255000; ++i) {
        page +=
            "<div class=\"c-container\"><h3><a href=\"http://s.cn/\">t</a></h3>" + run + "</div>";
    }
    page += "</body></html>";
    Text text;
    ASSERT_TRUE(appendGb18030(page, text));
    std::vector<std::size_t> runs;
    for (std::size_t at = text.find("<em>"); at != Text::npos; at = text.find("<em>", at + 1)) {
        runs.push_back(at);
    }
    bool cut = false;
    const std::vector<ResultBlock> blocks = findResultBlocks(
        text, engineTable(Engine::Baidu).blocks, "http://www.baidu.com/s", &runs, page, &cut);
    EXPECT_TRUE(cut);
    ASSERT_EQ(blocks.size(), kMaxResultBlocks);
    EXPECT_EQ(blocks.back().address, "http://s.cn/");
    const std::vector<int> holders = blocksHolding(blocks, runs);
    EXPECT_EQ(holders[0], 0);
    EXPECT_EQ(holders[kMaxResultBlocks - 1], static_cast<int>(kMaxResultBlocks - 1));
    EXPECT_EQ(holders[kMaxResultBlocks], -1);
    EXPECT_EQ(holders.back(), -1);
}

}  // namespace
}  // namespace oc
