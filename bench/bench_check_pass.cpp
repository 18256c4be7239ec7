// The checker's own cost per query: a whole pass over a 5,000-character article
// against a loopback server that answers at once with a realistic result page.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>

#include "check/check_pass.h"
#include "check/memory_window.h"
#include "services/boundary_text.h"
#include "tests/support/loopback_server.h"
#include "tests/support/pass_rig.h"
#include "tests/support/scripted_platform.h"

namespace {

std::string resultPage() {
    std::string page = "<html><head><title>搜索结果</title></head><body>";
    for (int i = 0; i < 10; ++i) {
        page += "<div class=\"result\"><h3><a href=\"http://example.com/" + std::to_string(i) +
                "\">春天的<em>早晨</em>与城市</a></h3><p>在一个<em>春天的早晨</em>，"
                "我们沿着河边慢慢地走着，看见<em>柳树发芽</em>，听见鸟儿在枝头歌唱。"
                "这一段文字用来填充摘要的长度，使页面接近真实搜索结果的大小。</p></div>";
    }
    page += std::string(60000, ' ') + "</body></html>";
    return page;
}

oc::Text article(int chars) {
    std::string utf8;
    const char* pool[] = {"春", "天", "的", "早", "晨", "我", "们", "沿", "着", "河"};
    for (int i = 0; i < chars; ++i) {
        utf8 += pool[(i * 3) % 10];
    }
    return oc::gbkFromUtf8(utf8);
}

void BM_BaiduPassPerSegment(benchmark::State& state) {
    oc::testing::LoopbackServer server;
    const std::string page = resultPage();
    server.server().Get("/s", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(page, "text/html; charset=utf-8");
    });
    server.start();
    oc::testing::PassRig rig(article(5000), "/nonexistent/settings.ini", server.baseUrl());
    oc::MemoryWindow& window = rig.window;
    const oc::PassEnvironment& env = rig.env;
    int segments = 0;
    double seconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        oc::runBaiduPass(env);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        segments += window.gridRowCount(oc::component::kBaiduGrid) - 1;
    }
    state.counters["per_segment_us"] = seconds * 1e6 / std::max(segments, 1);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_BaiduPassPerSegment)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
