// What a cookie flood costs a check pass: a loopback server answers every
// query with a generated result page (about 300 KB), once plainly and once
// with 50 new cookies of about 4 KB each in every answer, as anyone on the
// path of a plain-http engine could inject. For each, a Baidu pass over the
// same article; printed side by side: wall time per fetch, the cookie file
// writes of the pass and the size the jar file ends at.
//
//   bench_cookie_flood [--article-chars N] [--runs N] [--seed N]
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "check/check_pass.h"
#include "check/memory_window.h"
#include "services/boundary_text.h"
#include "services/internet_client.h"
#include "tests/support/generated_result_page.h"
#include "tests/support/pass_rig.h"
#include "tests/support/scripted_platform.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
    int articleChars = 2400;
    int runs = 3;
    std::uint32_t seed = 1;
};

constexpr int kCookiesPerAnswer = 50;
constexpr std::size_t kCookieValueBytes = 4000;

class PageServer {
  public:
    explicit PageServer(std::string page) : page_(std::move(page)) {
        server_.Get("/s", [this](const httplib::Request&, httplib::Response& res) {
            ++pages_;
            if (flood_) {
                const int answer = ++answers_;
                for (int i = 0; i < kCookiesPerAnswer; ++i) {
                    res.headers.emplace("Set-Cookie",
                                        std::string("f")
                                            .append(std::to_string(answer))
                                            .append("_")
                                            .append(std::to_string(i))
                                            .append("=")
                                            .append(kCookieValueBytes, 'x')
                                            .append("; Max-Age=")
                                            .append(std::to_string(100000 + answer * 100 + i))
                                            .append("; Path=/"));
                }
            }
            res.set_content(page_.data(), page_.size(), "text/html; charset=utf-8");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (port_ > 0 && !server_.is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~PageServer() {
        server_.stop();
        thread_.join();
    }
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    bool ok() const { return port_ > 0; }
    std::string url() const {
        return std::string("http://127.0.0.1:").append(std::to_string(port_));
    }
    void setFlood(bool on) { flood_ = on; }
    long pages() const { return pages_.load(); }

  private:
    std::string page_;
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::atomic<bool> flood_{false};
    std::atomic<long> pages_{0};
    std::atomic<int> answers_{0};
};

struct PassFigures {
    double secondsPerFetch = 0;
    std::size_t writes = 0;
    std::uintmax_t jarBytes = 0;
};

// One Baidu pass with a fresh cookie file, then the write at its end.
PassFigures timePass(PageServer& server, const oc::Text& article, const fs::path& work, int run,
                     bool flood) {
    const fs::path jar = work / std::string("cookies-")
                                    .append(std::to_string(run))
                                    .append(flood ? "-flood.txt" : "-plain.txt");
    oc::InternetClient& client = oc::InternetClient::instance();
    client.setCookieFile(jar.string());
    server.setFlood(flood);
    oc::testing::PassRig rig(article, (work / "no-settings.ini").string(), server.url());
    const long pagesBefore = server.pages();
    const std::size_t writesBefore = client.cookieFileWrites();
    const Clock::time_point start = Clock::now();
    oc::runBaiduPass(rig.env);
    client.flushCookies();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    PassFigures figures;
    const long pages = server.pages() - pagesBefore;
    figures.secondsPerFetch = pages > 0 ? seconds / static_cast<double>(pages) : 0;
    figures.writes = client.cookieFileWrites() - writesBefore;
    std::error_code error;
    const std::uintmax_t size = fs::file_size(jar, error);
    figures.jarBytes = error ? 0 : size;  // no file: no lasting cookie was set
    return figures;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (arg == "--article-chars" && value > 0) {
            options.articleChars = value;
        } else if (arg == "--runs" && value > 0) {
            options.runs = value;
        } else if (arg == "--seed") {
            options.seed = static_cast<std::uint32_t>(value);
        } else {
            return std::nullopt;
        }
    }
    if (argc % 2 == 0) {
        return std::nullopt;
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: bench_cookie_flood [--article-chars N] [--runs N] [--seed N]\n";
        return 2;
    }
    // The cookies go to a folder of the benchmark's own, never the user's store.
    const fs::path work = fs::temp_directory_path() /
                          std::string("bench_cookie_flood.").append(std::to_string(getpid()));
    fs::create_directories(work);
    PageServer server(oc::testing::generatedResultPage(options->seed));
    if (!server.ok()) {
        std::cerr << "bench_cookie_flood: cannot listen on 127.0.0.1\n";
        return 1;
    }
    const oc::Text article =
        oc::gbkFromUtf8(oc::testing::generatedArticleUtf8(options->seed, options->articleChars));
    std::vector<double> plain, flood;
    PassFigures lastPlain, lastFlood;
    for (int run = 0; run < options->runs; ++run) {
        lastPlain = timePass(server, article, work, run, false);
        lastFlood = timePass(server, article, work, run, true);
        plain.push_back(lastPlain.secondsPerFetch);
        flood.push_back(lastFlood.secondsPerFetch);
    }
    oc::InternetClient::instance().setCookieFile("");
    fs::remove_all(work);

    const double plainMedian = median(plain);
    const double floodMedian = median(flood);
    std::printf("article: %d characters, Baidu pass; page: generated, about 300 KB\n",
                options->articleChars);
    std::printf("flood: %d new cookies of %zu bytes in every answer; medians over %d runs\n\n",
                kCookiesPerAnswer, kCookieValueBytes, options->runs);
    std::printf("  %-22s %12s %8s %14s %14s\n", "", "per fetch", "ratio", "jar writes", "jar file");
    std::printf("  %-22s %9.2f ms %7.2fx %14zu %11.1f KB\n", "without the flood", plainMedian * 1e3,
                1.0, lastPlain.writes, static_cast<double>(lastPlain.jarBytes) / 1024.0);
    std::printf("  %-22s %9.2f ms %7.2fx %14zu %11.1f KB\n", "with the flood", floodMedian * 1e3,
                plainMedian > 0 ? floodMedian / plainMedian : 0.0, lastFlood.writes,
                static_cast<double>(lastFlood.jarBytes) / 1024.0);
    return 0;
}
