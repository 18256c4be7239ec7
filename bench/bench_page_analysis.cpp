// The analysis of one segment's result page: find every highlighted fragment
// and count those that occur in the segment. Target: at least 200 MB/s of page.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "check/highlight.h"
#include "tests/support/gbk.h"
#include "text/regex.h"

namespace oc {
namespace {
using testing::G;

// A decoded result page of about 300 KB: a style and a script block, then
// results with titles, abstracts and links, about 200 em fragments in all, some
// of them long runs of the segment.
struct ResultPage {
    Text segment;
    Text page;
    int fragments = 0;
};

ResultPage makeResultPage() {
    ResultPage out;
    const Text words =
        G("原创检测工具通过搜索引擎判断文章中的句子是否已经出现在网络上，并统计飘红片段的数量");
    out.segment = words.substr(0, 76);  // 38 characters
    const Text filler = G("这是搜索结果的摘要内容，包含一些与查询相关的词语和网站信息。");

    Text& page = out.page;
    page += "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + out.segment +
            G("_百度搜索") + "</title><style>";
    for (int i = 0; i < 600; ++i) {
        page += ".c-result-" + std::to_string(i) +
                "{margin:0 0 14px;font-size:13px;line-height:1.54;color:#333}";
    }
    page += "</style><script>var s_domain={\"base\":\"home\"};";
    for (int i = 0; i < 600; ++i) {
        page += "function f" + std::to_string(i) + "(a,b){if(a<b&&b>0){return a+b;}return 0;}\n";
    }
    page += "</script></head><body>";
    int result = 0;
    while (page.size() < 300 * 1024) {
        const Text id = std::to_string(result++);
        page +=
            "<div class=\"result c-container\" id=\"" + id +
            "\" tpl=\"se_com_default\"><h3 class=\"t\"><a href=\"http://www.baidu.com/link?url=" +
            id + "abcdefghijklmnopqrstuvwxyz0123456789\" target=\"_blank\">";
        page += "<em>" + out.segment.substr(0, 16) + "</em>" + filler.substr(0, 20) + "</a></h3>";
        page += "<div class=\"c-abstract\"><span class=\" newTimeFactor_before_abs m\">2023-" + id +
                "&nbsp;-&nbsp;</span>";
        for (int k = 0; k < 3; ++k) {
            page += filler + "<em>" +
                    (k == 1 ? out.segment.substr(0, 60) : words.substr(k * 4, 12)) + "</em>" +
                    filler.substr(0, 30) + "\r\n";
        }
        page +=
            "</div><div class=\"f13\"><a target=\"_blank\" href=\"http://www.baidu.com/link?url=" +
            id + "\" class=\"c-showurl\">www.example.com/" + id +
            "</a><div class=\"c-tools\" data-tools='{\"title\":\"x\"}'><a class=\"c-tip-icon\">"
            "<i class=\"c-icon c-icon-triangle-down-g\"></i></a></div></div></div>\n";
        for (int pad = 0; pad < 50; ++pad) {
            page += "<span class=\"pad\">" + filler.substr(0, 40) + "</span>";
        }
        out.fragments += 4;
    }
    page += "</body></html>";
    return out;
}

const ResultPage& resultPage() {
    static const ResultPage page = makeResultPage();
    return page;
}

// The Baidu pass: findAllMatches without regard to case, then the count.
void BM_BaiduPageAnalysis(benchmark::State& state) {
    const ResultPage& p = resultPage();
    int hits = 0;
    for (auto _ : state) {
        RegexMatchList matches;
        Text answer = findAllMatches(kHighlightPattern, p.page, matches);
        hits = countHighlightHits(p.segment, p.page, matches, 60);
        benchmark::DoNotOptimize(answer);
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(p.page.size()));
    state.counters["page_kb"] = static_cast<double>(p.page.size()) / 1024.0;
    state.counters["fragments"] = p.fragments;
    state.counters["hits"] = hits;
}
BENCHMARK(BM_BaiduPageAnalysis)->Unit(benchmark::kMicrosecond);

// The 360 pass: its own case-sensitive Regex, compiled again for every segment.
void BM_360PageAnalysis(benchmark::State& state) {
    const ResultPage& p = resultPage();
    Regex regex;
    for (auto _ : state) {
        regex.compile(kHighlightPattern);
        RegexMatchList matches = regex.searchAll(p.page);
        int hits = countHighlightHits(p.segment, p.page, matches, 60);
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(p.page.size()));
}
BENCHMARK(BM_360PageAnalysis)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace oc

BENCHMARK_MAIN();
