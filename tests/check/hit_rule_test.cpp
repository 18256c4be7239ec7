#include "check/hit_rule.h"

#include <gtest/gtest.h>

#include "check/page_evidence.h"
#include "services/boundary_text.h"

namespace oc {
namespace {

// 10 + 14 countable characters, two marks.
const std::string kClauseA = "卖豆腐的摊子冒着热气";
const std::string kClauseB = "老板娘一边切豆腐跟熟客聊";
const std::string kSegment = kClauseA + "，" + kClauseB + "家常；";

std::string em(const std::string& text) {
    return "<em>" + text + "</em>";
}

// A result block in the engine's own markup.
std::string block(Engine engine, const std::string& site, const std::string& body) {
    if (engine == Engine::Baidu) {
        return "<div class=\"result c-container\" mu=\"http://" + site +
               "/a\"><h3 class=\"t\"><a href=\"/link?url=x\">" + site +
               "</a></h3><div class=\"c-abstract\">" + body + "</div></div>\n";
    }
    return "<li class=\"res-list\"><h3 class=\"res-title\"><a href=\"/link?m=x\" "
           "data-mdurl=\"http://" +
           site + "/a\">" + site + "</a></h3><p class=\"res-desc\">" + body + "</p></li>\n";
}

std::string page(const std::vector<std::string>& blocks, const std::string& outside = "") {
    std::string html = "<html><head><meta charset=\"utf-8\"><title>t</title></head><body>";
    html += outside;
    for (const std::string& b : blocks) {
        html += b;
    }
    return html + "</body></html>";
}

struct Judged {
    HitOutcome outcome;
    bool parsed = false;
};

// The segment against one page, as a pass judges it.
Judged judge(Engine engine, const std::string& html, std::optional<int> coveragePercent,
             const IgnoreList& ignore = {}, int minRunChars = 30) {
    const EngineTable& table = engineTable(engine);
    ClassifiedPage classified;
    classified.pageClass = PageClass::ResultPage;
    classified.text = html;
    classified.highlights = highlightsOf(table, classified.text).matches;
    const HitRule rule{2 * minRunChars, coveragePercent};
    const Text segment = gbkFromUtf8(kSegment);
    PageEvidence evidence =
        pageEvidence(table, classified, "http://e.test/s?q=x", SegmentForms(segment), rule);
    Judged judged;
    judged.parsed = evidence.blocksKnown;
    judged.outcome = judgeSegment(segment, {evidence}, rule, ignore);
    return judged;
}

TEST(HitRule, ClausesHighlightedApartHitByCoverageInBothEnginesMarkup) {
    const std::string body =
        "……" + em(kClauseA) + "，" + em(kClauseB) + em("家常") + "；还有别的。";
    for (Engine engine : {Engine::Baidu, Engine::So360}) {
        const std::string html =
            page({block(engine, "other.cn", "无关的内容"), block(engine, "copy.cn", body)});
        Judged sentence = judge(engine, html, 80);
        EXPECT_EQ(sentence.outcome.hits, 3);
        EXPECT_EQ(sentence.outcome.coverage, 100);
        ASSERT_TRUE(sentence.outcome.source);
        EXPECT_EQ(sentence.outcome.source->domain, "copy.cn");
        // One long highlight only (经典): no highlight reaches 30 characters.
        Judged classic = judge(engine, html, std::nullopt);
        EXPECT_EQ(classic.outcome.hits, 0);
        EXPECT_FALSE(classic.outcome.coverage);
        // The single-run rule still counts where a highlight is long enough.
        Judged low = judge(engine, html, std::nullopt, {}, 12);
        EXPECT_EQ(low.outcome.hits, 1);
        // An ignored site's highlights do not count.
        IgnoreList own;
        own.add("copy.cn");
        EXPECT_EQ(judge(engine, html, 80, own).outcome.hits, 0);
    }
}

TEST(HitRule, CoverageMustReachTheSettingAndCountsPerResult) {
    // 19 of 24 countable characters: 79%.
    const std::string nineOfB = kClauseB.substr(0, 9 * 3);
    const std::string html =
        page({block(Engine::Baidu, "copy.cn", em(kClauseA) + "，" + em(nineOfB))});
    Judged at80 = judge(Engine::Baidu, html, 80);
    EXPECT_EQ(at80.outcome.hits, 0);
    EXPECT_EQ(at80.outcome.coverage, 79);
    Judged at79 = judge(Engine::Baidu, html, 79);
    EXPECT_EQ(at79.outcome.hits, 2);
    EXPECT_TRUE(at79.parsed);

    // The clauses highlighted in two results do not add up; a highlight
    // outside every result does not count either.
    const std::string spread = page({block(Engine::Baidu, "a.cn", em(kClauseA)),
                                     block(Engine::Baidu, "b.cn", em(kClauseB) + em("家常"))},
                                    em(kClauseA));
    Judged split = judge(Engine::Baidu, spread, 50);
    EXPECT_EQ(split.outcome.hits, 2);  // b.cn alone covers 14 of 24: 58%
    EXPECT_EQ(split.outcome.coverage, 58);
    EXPECT_EQ(judge(Engine::Baidu, spread, 60).outcome.hits, 0);

    // Single characters cover nothing, however many.
    std::string singles;
    for (const char* c : {"卖", "豆", "腐", "的", "摊", "子", "冒", "着", "热", "气"}) {
        singles += em(c);
    }
    Judged ones =
        judge(Engine::Baidu, page({block(Engine::Baidu, "c.cn", singles + em(kClauseB))}), 50);
    EXPECT_EQ(ones.outcome.coverage, 50);
}

TEST(HitRule, APageThatCannotHitIsNotParsedAndShowsItsHighlightsTogether) {
    const std::string html = page({block(Engine::Baidu, "a.cn", em(kClauseA))});
    Judged judged = judge(Engine::Baidu, html, 80);
    EXPECT_FALSE(judged.parsed);
    EXPECT_EQ(judged.outcome.hits, 0);
    EXPECT_EQ(judged.outcome.coverage, 41);  // 10 of 24
}

}  // namespace
}  // namespace oc
