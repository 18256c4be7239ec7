// What naming the source of a copied segment costs per result page: parsing
// the page into result blocks and attributing its long highlighted runs, beside
// the decoding of the same page from UTF-8, measured in the same run. An
// original segment's page is never parsed, so its cost stays that of the
// highlight count alone (compare the two Original benchmarks).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "check/segment_source.h"
#include "services/conversions.h"
#include "services/encoding.h"
#include "tests/support/gbk.h"
#include "text/regex.h"

namespace oc {
namespace {
using testing::G;

constexpr int kThreshold = 60;  // 飘红检测数 30

// A Baidu result page of about 300 KB as it arrives (UTF-8): style and script,
// the data comment, then result blocks with mu, redirect titles, abstracts of
// about four em fragments each, cards and ads between them.
struct Fixture {
    std::string body;  // UTF-8, as fetched
    Text page;         // GB18030, as the passes analyse it
    Text copied;       // a segment the page shows in long runs
    Text original;     // a segment only short runs touch
    RegexMatchList matches;
};

Fixture makeFixture() {
    Fixture f;
    const std::string words =
        "原创检测工具通过搜索引擎判断文章中的句子是否已经出现在网络上并统计飘红片段的数量";
    const std::string filler = "这是搜索结果的摘要内容，包含一些与查询相关的词语和网站信息。";
    const std::string segment = words.substr(0, 38 * 3);
    std::string& b = f.body;
    b = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + segment +
        "_百度搜索</title><style>";
    for (int i = 0; i < 600; ++i) {
        b += ".c-result-" + std::to_string(i) + "{margin:0 0 14px;font-size:13px;color:#333}";
    }
    b += "</style><script>var s_domain={\"base\":\"home\"};</script></head><body>"
         "<div id=\"content_left\"><!--s-data:{\"title\":\"<em>" +
         segment.substr(0, 30) + "</em>\"}-->";
    int result = 0;
    while (b.size() < 300 * 1024) {
        const std::string id = std::to_string(result++);
        const bool card = result % 7 == 0;
        b += std::string("<div class=\"") +
             (card ? "result-op c-container" : "result c-container") +
             " xpath-log new-pmd\" id=\"" + id + "\" tpl=\"www_index\" mu=\"https://www.site" + id +
             ".com/article/" + id +
             ".html\" data-click=\"{&quot;rsv&quot;:1}\">"
             "<h3 class=\"t c-title-en\"><a href=\"/link?url=" +
             id + "abcdefghijklmnopqrstuvwxyz0123456789\" target=\"_blank\"><em>" +
             segment.substr(0, 24) + "</em>" + filler.substr(0, 30) +
             "</a></h3>"
             "<div class=\"c-row\"><div class=\"summary-text_560AW c-span-last\"><span "
             "class=\"c-color-gray2\">2023-" +
             id + "&nbsp;</span>";
        for (int k = 0; k < 3; ++k) {
            b += filler + "<em>" + (k == 1 ? segment.substr(0, 90) : words.substr(k * 6, 18)) +
                 "</em>" + filler.substr(0, 45) + "\n";
        }
        b += "</div></div><div class=\"c-row source_1Vdff\"><a class=\"siteLink_9TPP3\" "
             "href=\"/link?url=" +
             id + "\">www.site" + id + ".com</a></div></div>\n";
        if (result % 10 == 0) {
            b += "<div class=\"ec_ad_result\" data-tuiguang=\"1\"><a href=\"/baidu.php?url=x\">"
                 "推广</a><em>" +
                 segment.substr(0, 36) + "</em></div>\n";
        }
        for (int pad = 0; pad < 30; ++pad) {
            b += "<span class=\"pad\">" + filler.substr(0, 60) + "</span>";
        }
    }
    b += "</div></body></html>";
    f.page = toText(convertEncoding(ByteSet(b), "UTF-8", "GB18030"));
    f.copied = G(segment);
    f.original = G(words.substr(6, 38 * 3));  // only the 6-character runs occur in it
    findAllMatches(kHighlightPattern, f.page, f.matches);
    return f;
}

const Fixture& fixture() {
    static const Fixture f = makeFixture();
    return f;
}

void pageCounters(benchmark::State& state) {
    const Fixture& f = fixture();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(f.body.size()));
    state.counters["page_kb"] = static_cast<double>(f.body.size()) / 1024.0;
}

// The decoding every page gets today: UTF-8 to GB18030.
void BM_PageDecoding(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state) {
        ByteSet text = convertEncoding(ByteSet(f.body), "UTF-8", "GB18030");
        benchmark::DoNotOptimize(text);
    }
    pageCounters(state);
}
BENCHMARK(BM_PageDecoding)->Unit(benchmark::kMicrosecond);

// A copied segment: its qualifying runs, the page parsed into blocks, the
// runs attributed and the source chosen.
void BM_SourceAttribution(benchmark::State& state) {
    const Fixture& f = fixture();
    const std::string url = "http://www.baidu.com/s?wd=x&rn=20&lm=0";
    SourceOutcome outcome;
    for (auto _ : state) {
        std::vector<PageRuns> pages{
            {f.page, url, qualifyingRuns(f.copied, f.page, f.matches, kThreshold)}};
        outcome = attributeRuns(pages, baiduBlockForm(), IgnoreList());
        benchmark::DoNotOptimize(outcome);
    }
    pageCounters(state);
    state.counters["hits"] = outcome.hits;
    state.counters["found"] = outcome.source ? 1 : 0;
}
BENCHMARK(BM_SourceAttribution)->Unit(benchmark::kMicrosecond);

// An original segment, as the passes analysed it before sources existed...
void BM_OriginalCountOnly(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state) {
        int hits = countHighlightHits(f.original, f.page, f.matches, kThreshold);
        benchmark::DoNotOptimize(hits);
    }
    pageCounters(state);
}
BENCHMARK(BM_OriginalCountOnly)->Unit(benchmark::kMicrosecond);

// ...and with the source step: no qualifying run, so no parse.
void BM_OriginalWithSourceStep(benchmark::State& state) {
    const Fixture& f = fixture();
    const std::string url = "http://www.baidu.com/s?wd=x&rn=20&lm=0";
    for (auto _ : state) {
        std::vector<PageRuns> pages{
            {f.page, url, qualifyingRuns(f.original, f.page, f.matches, kThreshold)}};
        SourceOutcome outcome = attributeRuns(pages, baiduBlockForm(), IgnoreList());
        benchmark::DoNotOptimize(outcome);
    }
    pageCounters(state);
}
BENCHMARK(BM_OriginalWithSourceStep)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace oc

BENCHMARK_MAIN();
