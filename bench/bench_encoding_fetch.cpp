// How fast a result page is turned from UTF-8 into GB18030, and what one page
// fetch costs on top of the network, measured against a loopback server.
#include <benchmark/benchmark.h>

#include "services/encoding.h"
#include "services/http_fetch.h"
#include "services/internet_client.h"
#include "tests/support/loopback_server.h"

namespace {

// About 300 KB of a result page: markup, highlighted fragments and Chinese text.
std::string resultPage() {
    const std::string item =
        "<div class=\"result c-container\"><h3 class=\"t\"><a href=\"http://www.example.com/"
        "a/12345.html\" target=\"_blank\">原创<em>检测工具</em>的使用方法</a></h3><div "
        "class=\"c-abstract\">一篇文章是否<em>原创</em>，可以把文章分段后逐段搜索，"
        "看搜索结果中飘红的部分有多少。2024年3月5日 ... 文章原创度检测</div></div>\n";
    std::string page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>";
    while (page.size() < 300 * 1024) {
        page += item;
    }
    return page + "</body></html>";
}

void BM_Utf8ToGb18030ResultPage(benchmark::State& state) {
    const oc::ByteSet page(resultPage());
    for (auto _ : state) {
        bool ok = false;
        oc::ByteSet out = oc::convertEncoding(page, "UTF-8", "GB18030", &ok);
        benchmark::DoNotOptimize(out);
        if (!ok) {
            state.SkipWithError("conversion failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Utf8ToGb18030ResultPage)->Unit(benchmark::kMicrosecond);

void BM_FetchLoopbackPage100KB(benchmark::State& state) {
    oc::InternetClient::instance().setCookieFile("");  // nothing read from or written to home
    oc::testing::LoopbackServer server;
    const std::string body(100 * 1024, 'x');
    server.server().Get("/s", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(body, "text/html");
    });
    server.start();
    const oc::Text url = server.baseUrl() + "/s?wd=%D4%AD%B4%B4";
    for (auto _ : state) {
        oc::ByteSet page = oc::httpGet(url);
        if (page.size() != body.size()) {
            state.SkipWithError("short page");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}
BENCHMARK(BM_FetchLoopbackPage100KB)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
