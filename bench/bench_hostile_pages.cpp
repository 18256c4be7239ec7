// Hostile result pages through a whole Baidu pass of a one-segment article,
// served by a loopback server: the wall time and the CPU of the pass (fetch,
// classification, highlights, runs and their blocks) and the peak memory.
//   blocks N    one page of N c-container blocks, each holding a qualifying run
//               (255,000 blocks make the 32 MiB page a server may send)
//   ignored N   the same page with a domain ignored (every block is described)
//   open-em N   one page of N unclosed <em> tags (8,000,000 fill 32 MB)
//   closed-em N one page of N closed highlights, each a qualifying run, in no block
//
//   bench_hostile_pages [CASE N]...   (default: every case at its hostile size)
#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "check/check_run.h"
#include "check/memory_window.h"
#include "services/boundary_text.h"
#include "tests/support/loopback_server.h"
#include "tests/support/pass_rig.h"

namespace {

// The segment; each run is its first 12 characters, which count with
// 飘红检测数 at its minimum, 12 (the settings file below).
const std::string kSegment = "春天的早晨我们沿着河边慢慢地走着看见柳树发芽听见鸟儿在枝头歌唱";
const std::string kRun = "春天的早晨我们沿着河边慢";

std::string blocksPage(long blocks) {
    std::string page = "<html><head><title>搜索结果</title></head><body>";
    page.reserve(static_cast<std::size_t>(blocks) * 130 + 100);
    for (long i = 0; i < blocks; ++i) {
        page += "<div class=\"c-container\"><h3><a href=\"http://s";
        page += std::to_string(i % 1000);
        page += ".example.com/\">t</a></h3><em>" + kRun + "</em></div>";
    }
    return page + "</body></html>";
}

std::string openEmPage(long tags) {
    std::string page = "<html><body>";
    page.reserve(static_cast<std::size_t>(tags) * 4 + 16);
    for (long i = 0; i < tags; ++i) {
        page += "<em>";
    }
    return page;
}

std::string closedEmPage(long highlights) {
    std::string page = "<html><body>";
    for (long i = 0; i < highlights; ++i) {
        page += "<em>" + kRun + "</em>";
    }
    return page + "</body></html>";
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double wallSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void runCase(const std::string& name, long size) {
    std::string page = name == "open-em"     ? openEmPage(size)
                       : name == "closed-em" ? closedEmPage(size)
                                             : blocksPage(size);
    oc::testing::LoopbackServer server;
    server.server().Get("/s", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(page, "text/html; charset=utf-8");
    });
    server.start();
    const std::string settings = "/tmp/bench_hostile_pages.ini";
    std::ofstream(settings, std::ios::binary)
        << oc::gbkFromUtf8("[原创检测配置]\r\n飘红检测数=12\r\n");
    oc::testing::PassRig rig(oc::gbkFromUtf8(kSegment), settings, server.baseUrl());
    rig.window.setTicked(oc::component::kBaiduCheckBox, true);
    rig.window.setTicked(oc::component::k360CheckBox, false);
    rig.env.interval = std::chrono::milliseconds(0);
    if (name == "ignored") {
        rig.env.ignoredSites = "ignored.example.org";
    }
    const double cpu = cpuSeconds();
    const double wall = wallSeconds();
    {
        oc::CheckRun run(rig.env);
        run.start();
        run.wait();
    }
    const double wallUsed = wallSeconds() - wall;
    const double cpuUsed = cpuSeconds() - cpu;
    const oc::GridModel grid = rig.window.grid(oc::component::kBaiduGrid);
    std::string status =
        grid.rowCount() > 1 ? oc::utf8FromGbk(grid.cellText(1, oc::kStatusColumn)) : "-";
    const oc::GridCell* cell = grid.rowCount() > 1 ? grid.cell(1, oc::kStatusColumn) : nullptr;
    std::string tip = cell ? oc::utf8FromGbk(cell->tip) : "";
    std::printf(
        "%-10s %9ld  page %6.1f MB  wall %7.2f s  cpu %7.2f s  peak %7.1f MB  飘红 %s  %s%s%s\n",
        name.c_str(), size, static_cast<double>(page.size()) / 1e6, wallUsed, cpuUsed, peakRssMb(),
        oc::utf8FromGbk(grid.rowCount() > 1 ? grid.cellText(1, 2) : "").c_str(), status.c_str(),
        tip.empty() ? "" : " / ", tip.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::pair<std::string, long>> cases;
    for (int i = 1; i + 1 < argc; i += 2) {
        cases.emplace_back(argv[i], std::stol(argv[i + 1]));
    }
    if (cases.empty()) {
        cases = {{"blocks", 5000},    {"blocks", 40000},    {"blocks", 255000},
                 {"ignored", 255000}, {"open-em", 8000000}, {"closed-em", 500000}};
    }
    for (const auto& [name, size] : cases) {
        runCase(name, size);
    }
    return 0;
}
