// The results store at the size a busy editor reaches: 10,000 checks of the
// sample article (43 segments, both web engines) written as the passes write
// them, each row committed on its own. Prints the CPU the store spends per
// segment written and the time to open the history list (the store opened
// afresh and every check listed with its values).
//
//   bench_store [--checks N] [--segments N]
//
// Targets: at most 1 ms of CPU per segment; the list of 10,000 checks in at
// most 0.3 s.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "store/sqlite_check_store.h"
#include "tests/support/file_fixtures.h"

namespace {

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::string sampleArticle() {
    const std::string text = oc::testing::fileBytes(OC_SOURCE_DIR "/data/sample-article.txt");
    return text.empty() ? std::string(4800, 'a') : text;
}

// A row as a pass writes it: a segment of the article, a query URL of its
// percent-encoded text, and now and then a source.
oc::StoredRow rowOf(const std::string& article, int number) {
    oc::StoredRow row;
    row.number = number;
    const std::size_t at = (static_cast<std::size_t>(number) * 111) % (article.size() - 120);
    row.text = article.substr(at - at % 3, 114);
    row.url = "http://www.baidu.com/s?wd=";
    for (std::size_t i = 0; i < 76; ++i) {
        row.url += "%B0%A1";
    }
    row.status = number % 5 == 0 ? oc::SegmentStatus::Hit : oc::SegmentStatus::Original;
    if (row.status == oc::SegmentStatus::Hit) {
        row.hits = 2;
        row.source =
            oc::SegmentSource{"一篇转载的文章标题_某某网",
                              "https://example.com/news/2026/12/09/123456.html", "example.com"};
    }
    row.checkedAt = oc::storeTimeNow();
    row.verifiedAt = row.checkedAt;
    return row;
}

}  // namespace

int main(int argc, char** argv) {
    int checks = 10000;
    int segments = 43;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--checks") == 0) {
            checks = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--segments") == 0) {
            segments = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    oc::testing::TempFolder folder;
    const std::string path = folder.nativePath("checks.db");
    const std::string article = sampleArticle();
    const oc::Engine engines[] = {oc::Engine::Baidu, oc::Engine::So360};

    double rowCpu = 0;
    double checkCpu = 0;
    long long rowsWritten = 0;
    {
        oc::store::SqliteCheckStore store(path);
        if (!store.problem().empty()) {
            std::fprintf(stderr, "store unusable: %s\n", store.problem().c_str());
            return 1;
        }
        std::vector<oc::StoredRow> rows;
        for (int n = 1; n <= segments; ++n) {
            rows.push_back(rowOf(article, n));
        }
        for (int c = 0; c < checks; ++c) {
            const double begin = threadCpuSeconds();
            oc::CheckStart start;
            start.startedAt = oc::storeTimeNow() - (checks - c) * 60;
            start.article = article;
            start.title = oc::checkTitle(article);
            start.chars = 1616;
            start.settings = {{"段落字数", "38"}, {"飘红检测数", "30"}, {"忽略网站", ""}};
            start.origin = "cli";
            std::optional<oc::CheckId> id = store.beginCheck(start);
            if (!id) {
                std::fprintf(stderr, "store failed: %s\n", store.problem().c_str());
                return 1;
            }
            for (oc::Engine engine : engines) {
                store.writePass(*id, {engine, "running", "", "", "", "", segments});
                const double rowsBegin = threadCpuSeconds();
                for (const oc::StoredRow& row : rows) {
                    store.writeRow(*id, engine, row);
                }
                rowCpu += threadCpuSeconds() - rowsBegin;
                rowsWritten += segments;
                store.writePass(*id, {engine, "normal", "finished", "79.07%", "已核实 43/43",
                                      "79.07% 此文原创度一般", segments});
            }
            store.endCheck(*id, start.startedAt + 120);
            checkCpu += threadCpuSeconds() - begin;
        }
        if (!store.problem().empty()) {
            std::fprintf(stderr, "store failed: %s\n", store.problem().c_str());
            return 1;
        }
    }
    std::vector<double> listSeconds;
    std::size_t listed = 0;
    for (int round = 0; round < 5; ++round) {
        const auto begin = std::chrono::steady_clock::now();
        oc::store::SqliteCheckStore store(path);
        listed = store.listChecks().size();
        listSeconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    }
    std::sort(listSeconds.begin(), listSeconds.end());
    std::error_code error;
    const double megabytes = static_cast<double>(std::filesystem::file_size(path, error)) / 1e6;
    std::printf("checks: %d of %d segments x 2 engines (%lld rows), store file %.1f MB\n", checks,
                segments, rowsWritten, megabytes);
    std::printf(
        "store CPU per segment written: %.3f ms (target <= 1 ms; %.3f ms per segment "
        "with the check's start, passes and end)\n",
        rowCpu * 1e3 / static_cast<double>(rowsWritten),
        checkCpu * 1e3 / static_cast<double>(rowsWritten));
    std::printf("open the history list of %zu checks: %.3f s median of 5 (target <= 0.3 s)\n",
                listed, listSeconds[listSeconds.size() / 2]);
    return 0;
}
