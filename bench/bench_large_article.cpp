// A 200,000-character article (the longest the checker takes) checked
// through to the end by both passes at once: against a loopback server that
// answers every query at once with a realistic result page, and against an
// address that refuses every connection (each segment unverified, each prompt
// answered 确定): the time of the whole run and the peak memory. Run one case
// per process (--benchmark_filter) for the peak of that case alone.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>

#include "check/check_run.h"
#include "check/memory_window.h"
#include "tests/support/long_article.h"
#include "tests/support/loopback_server.h"
#include "tests/support/pass_rig.h"
#include "tests/support/scripted_platform.h"

namespace {

constexpr int kArticleChars = 200000;

// Ten results with a few highlights each, about 6 KB.
std::string resultPage() {
    std::string page = "<html><head><title>搜索结果</title></head><body>";
    for (int i = 0; i < 10; ++i) {
        page += "<div class=\"result\"><h3><a href=\"http://example.com/" + std::to_string(i) +
                "\">春天的<em>早晨</em>与城市</a></h3><p>在一个<em>春天的早晨</em>，"
                "我们沿着河边慢慢地走着，看见<em>柳树发芽</em>，听见鸟儿在枝头歌唱。</p></div>";
    }
    return page + "</body></html>";
}

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_LargeArticleBothPasses(benchmark::State& state) {
    oc::testing::LoopbackServer server;
    const std::string page = resultPage();
    server.server().Get("/s", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(page, "text/html; charset=utf-8");
    });
    server.start();
    const oc::Text text = oc::testing::longArticle(kArticleChars);
    const double rssBefore = peakRssMb();
    oc::testing::PassRig rig(text, "/nonexistent/settings.ini", server.baseUrl());
    oc::MemoryWindow& window = rig.window;
    const oc::PassEnvironment& env = rig.env;
    int rows = 0;
    for (auto _ : state) {
        oc::CheckRun run(env);
        run.start();
        run.wait();
        rows = window.gridRowCount(oc::component::kBaiduGrid) - 1 +
               window.gridRowCount(oc::component::k360Grid) - 1;
    }
    state.counters["article_chars"] = kArticleChars;
    state.counters["rows"] = rows;
    state.counters["requests"] = static_cast<double>(server.requests().size());
    state.counters["peak_rss_mb"] = peakRssMb();
    state.counters["rss_before_run_mb"] = rssBefore;
}
BENCHMARK(BM_LargeArticleBothPasses)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_LargeArticleRefused(benchmark::State& state) {
    // A port that was listened on and is closed again refuses connections.
    std::string refusing;
    {
        oc::testing::LoopbackServer closed;
        closed.start();
        refusing = closed.baseUrl();
    }
    const oc::Text text = oc::testing::longArticle(kArticleChars);
    const double rssBefore = peakRssMb();
    oc::testing::PassRig rig(text, "/nonexistent/settings.ini", refusing);
    rig.env.interval = std::chrono::milliseconds(0);
    int rows = 0;
    int unverified = 0;
    for (auto _ : state) {
        oc::CheckRun run(rig.env);
        run.start();
        run.wait();
        for (const auto& [engine, outcome] : run.lastOutcomes()) {
            rows += outcome.total();
            unverified += outcome.total() - outcome.verified();
        }
    }
    state.counters["article_chars"] = kArticleChars;
    state.counters["rows"] = rows;
    state.counters["unverified"] = unverified;
    state.counters["prompts"] = static_cast<double>(rig.platform.messages().size());
    state.counters["peak_rss_mb"] = peakRssMb();
    state.counters["rss_before_run_mb"] = rssBefore;
}
BENCHMARK(BM_LargeArticleRefused)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
