// The checker's CPU per result page against the floor of that page's own
// encoding conversion. A page server in another process answers every query at
// once with a generated page (about 300 KB of UTF-8, mostly Chinese, 200 result
// blocks with one em fragment each): a Baidu query (wd=) gets the results in
// Baidu's markup, a 360 query (q=) the same results in 360's, so each pass
// recognises the blocks of its own engine. Three figures come side by side:
//   (a) CPU of the pass thread per page over a whole pass (in this process),
//   (b) CPU of the originality-cli process per page, end to end (its rusage),
//   (c) the floor: iconv UTF-8 -> GB18030 of the Baidu page, one converter
//       opened once, the median of many conversions,
// with the ratios (a)/(c) and (b)/(c), and originality-cli's peak memory.
//
//   bench_page_cost [--article-chars N] [--runs N] [--conversions N] [--seed N]
//                   [--cli PATH]
//   bench_page_cost --serve SEED      (the page server; prints its URL first)
#include <fcntl.h>
#include <httplib.h>
#include <iconv.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "check/check_pass.h"
#include "check/memory_window.h"
#include "services/boundary_text.h"
#include "services/http_fetch.h"
#include "tests/support/generated_result_page.h"
#include "tests/support/pass_rig.h"
#include "tests/support/scripted_platform.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Options {
    int articleChars = 5000;
    int runs = 3;
    int conversions = 300;
    std::uint32_t seed = 1;
    std::string cli;
    bool classic = false;  // 检测方式 经典 instead of the default 整句
};

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double seconds(const timeval& tv) {
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    std::size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// --- the page server (the other process) -----------------------------------

int serve(std::uint32_t seed) {
    const std::string baiduPage = oc::testing::generatedResultPage(seed);
    oc::testing::GeneratedPageShape shape360;
    shape360.markup = oc::testing::ResultMarkup::So360;
    const std::string page360 = oc::testing::generatedResultPage(seed, shape360);
    std::atomic<long> pages{0};
    httplib::Server server;
    server.Get("/s", [&](const httplib::Request& req, httplib::Response& res) {
        ++pages;
        // 360's query form carries the segment in q, Baidu's in wd.
        const std::string& page = req.has_param("q") ? page360 : baiduPage;
        res.set_content(page.data(), page.size(), "text/html; charset=utf-8");
    });
    server.Get("/count", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::to_string(pages.load()), "text/plain");
    });
    int port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0) {
        std::cerr << "bench_page_cost: cannot listen on 127.0.0.1\n";
        return 1;
    }
    std::cout << "listening on http://127.0.0.1:" << port << std::endl;
    return server.listen_after_bind() ? 0 : 1;
}

class PageServer {
  public:
    explicit PageServer(std::uint32_t seed) {
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string self = fs::read_symlink("/proc/self/exe").string();
        std::string seedText = std::to_string(seed);
        char* argv[] = {self.data(), const_cast<char*>("--serve"), seedText.data(), nullptr};
        if (posix_spawn(&pid_, self.c_str(), &actions, nullptr, argv, environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        std::string line;
        char c = 0;
        while (read(out[0], &c, 1) == 1 && c != '\n') {
            line += c;
        }
        close(out[0]);
        const std::string prefix = "listening on ";
        if (line.rfind(prefix, 0) == 0) {
            url_ = line.substr(prefix.size());
        }
    }
    ~PageServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    const std::string& url() const { return url_; }
    long pagesServed() const { return std::atol(oc::httpGet(url_ + "/count").bytes().c_str()); }

  private:
    pid_t pid_ = -1;
    std::string url_;
};

// --- (c) the floor ----------------------------------------------------------

std::vector<double> conversionFloor(const std::string& page, int conversions) {
    iconv_t cd = iconv_open("GB18030", "UTF-8");
    std::string out(page.size(), '\0');
    std::vector<double> each;
    for (int i = 0; i < conversions; ++i) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(page.data());
        std::size_t inLeft = page.size();
        char* to = out.data();
        std::size_t toLeft = out.size();
        double start = threadCpuSeconds();
        std::size_t rc = iconv(cd, &in, &inLeft, &to, &toLeft);
        each.push_back(threadCpuSeconds() - start);
        if (rc == static_cast<std::size_t>(-1)) {
            std::cerr << "bench_page_cost: the page does not convert\n";
            std::exit(1);
        }
    }
    iconv_close(cd);
    return each;
}

// --- (a) the pass thread ----------------------------------------------------

struct PassCost {
    double cpuSeconds = 0;
    long pages = 0;
    double perPage() const { return pages > 0 ? cpuSeconds / static_cast<double>(pages) : 0; }
};

PassCost passThreadCost(const PageServer& server, const oc::Text& article, bool baidu,
                        const fs::path& settings) {
    oc::testing::PassRig rig(article, settings.string(), server.url());
    const oc::PassEnvironment& env = rig.env;
    long before = server.pagesServed();
    PassCost cost;
    std::thread pass([&] {
        double start = threadCpuSeconds();
        baidu ? oc::runBaiduPass(env) : oc::run360Pass(env);
        cost.cpuSeconds = threadCpuSeconds() - start;
    });
    pass.join();
    cost.pages = server.pagesServed() - before;
    return cost;
}

// --- (b) the command-line checker -------------------------------------------

struct CliCost {
    PassCost cost;
    double peakRssMb = 0;
    int status = -1;
};

CliCost cliCost(const PageServer& server, const Options& options, const fs::path& articleFile,
                const fs::path& settings) {
    std::vector<std::string> args = {
        options.cli, "--engine",   "both",       "--baidu-url",       server.url(),
        "--360-url", server.url(), "--settings", settings.string(),   "--on-empty-page",
        "cancel",    "--json",     "--quiet",    articleFile.string()};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    CliCost result;
    long before = server.pagesServed();
    pid_t pid = -1;
    if (posix_spawn(&pid, options.cli.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return result;
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.cost.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    result.cost.pages = server.pagesServed() - before;
    result.peakRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return result;
}

// --- the report -------------------------------------------------------------

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    options.cli = (fs::read_symlink("/proc/self/exe").parent_path() / "originality-cli").string();
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) {
            return std::nullopt;
        }
        std::string value = argv[++i];
        if (arg == "--article-chars") {
            options.articleChars = std::atoi(value.c_str());
        } else if (arg == "--runs") {
            options.runs = std::max(1, std::atoi(value.c_str()));
        } else if (arg == "--conversions") {
            options.conversions = std::max(1, std::atoi(value.c_str()));
        } else if (arg == "--seed") {
            options.seed = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (arg == "--cli") {
            options.cli = value;
        } else if (arg == "--mode" && (value == "sentence" || value == "classic")) {
            options.classic = value == "classic";
        } else {
            return std::nullopt;
        }
    }
    return options;
}

void printRow(const char* what, double perPageSeconds, double floorSeconds) {
    std::printf("  %-50s %8.3f ms  %6.2fx\n", what, perPageSeconds * 1e3,
                floorSeconds > 0 ? perPageSeconds / floorSeconds : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--serve") {
        return serve(static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)));
    }
    std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: bench_page_cost [--article-chars N] [--runs N] [--conversions N]"
                     " [--seed N] [--cli PATH] [--mode sentence|classic]\n";
        return 2;
    }
    // Cookies of this benchmark go to a folder of its own, never the user's store.
    fs::path work = fs::temp_directory_path() / ("bench_page_cost." + std::to_string(getpid()));
    fs::create_directories(work);
    setenv("OC_COOKIE_FILE", (work / "cookies.txt").c_str(), 1);
    // Absent: the built-in defaults; else only 检测方式.
    const fs::path settings = work / "settings.ini";
    if (options->classic) {
        std::ofstream(settings, std::ios::binary)
            << oc::gbkFromUtf8("[原创检测配置]\r\n检测方式=经典\r\n");
    }
    const fs::path articleFile = work / "article.txt";
    const std::string articleUtf8 =
        oc::testing::generatedArticleUtf8(options->seed, options->articleChars);
    std::ofstream(articleFile, std::ios::binary) << articleUtf8;
    const oc::Text article = oc::gbkFromUtf8(articleUtf8);

    const std::string page = oc::testing::generatedResultPage(options->seed);
    PageServer server(options->seed);
    if (server.url().empty()) {
        std::cerr << "bench_page_cost: the page server did not start\n";
        return 1;
    }

    std::vector<double> floorEach = conversionFloor(page, options->conversions);
    std::vector<double> baidu, so360, both, cli, rss;
    long pagesPerCli = 0;
    for (int run = 0; run < options->runs; ++run) {
        PassCost b = passThreadCost(server, article, true, settings);
        PassCost s = passThreadCost(server, article, false, settings);
        baidu.push_back(b.perPage());
        so360.push_back(s.perPage());
        both.push_back(PassCost{b.cpuSeconds + s.cpuSeconds, b.pages + s.pages}.perPage());
        CliCost c = cliCost(server, *options, articleFile, settings);
        if (c.status != 0) {
            std::cerr << "bench_page_cost: originality-cli (" << options->cli << ") ended with "
                      << c.status << "\n";
            return 1;
        }
        cli.push_back(c.cost.perPage());
        rss.push_back(c.peakRssMb);
        pagesPerCli = c.cost.pages;
        // More conversions between the runs, so the floor sees the same machine.
        std::vector<double> more = conversionFloor(page, options->conversions);
        floorEach.insert(floorEach.end(), more.begin(), more.end());
    }
    fs::remove_all(work);

    const double floor = median(floorEach);
    std::printf("page: %zu bytes of UTF-8, 200 result blocks, one em fragment each (seed %u)\n",
                page.size(), options->seed);
    std::printf(
        "article: %d characters; originality-cli fetched %ld pages per run (both engines)\n",
        options->articleChars, pagesPerCli);
    std::printf("检测方式 %s; medians over %d runs; floor over %zu conversions\n\n",
                options->classic ? "经典" : "整句", options->runs, floorEach.size());
    std::printf("  %-50s %11s  %7s\n", "CPU per page", "", "x floor");
    printRow("(c) floor: iconv UTF-8 -> GB18030, one converter", floor, floor);
    printRow("(a) pass thread, Baidu pass", median(baidu), floor);
    printRow("(a) pass thread, 360 pass", median(so360), floor);
    printRow("(a) pass thread, both passes", median(both), floor);
    printRow("(b) originality-cli process, end to end", median(cli), floor);
    std::printf("\noriginality-cli peak RSS: %.1f MB (largest of the runs: %.1f MB)\n", median(rss),
                *std::max_element(rss.begin(), rss.end()));
    return 0;
}
