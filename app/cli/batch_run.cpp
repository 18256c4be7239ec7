#include "app/cli/batch_run.h"

#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/cli/article_run.h"
#include "app/cli/history_show.h"
#include "app/cli/json_text.h"
#include "check/check_report.h"
#include "check/report_builder.h"
#include "services/file_contents.h"
#include "services/shown_text.h"

namespace oc::cli {
namespace {

// The summary of several articles, CSV or HTML by its extension, each
// article's report linked relative to the summary's folder.
bool writeSummary(const std::string& path, std::vector<BatchEntry> entries) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::absolute(fs::path(path)).parent_path();
    for (BatchEntry& entry : entries) {
        if (!entry.report.empty()) {
            std::error_code error;
            entry.report = fs::proximate(fs::absolute(entry.report), folder, error).string();
        }
    }
    const bool csv = reportFormatFor(path) == ReportFormat::Csv;
    return replaceFileAtomically(
        path, csv ? batchSummaryCsv(entries)
                  : batchSummaryHtml(entries, reportTimestamp(std::chrono::system_clock::now())));
}

// What an article finished by an earlier run prints: its stored check as
// that run printed it, or the reason it failed.
std::string printedAgain(const CliOptions& options, const StoredBatchItem& item,
                         CheckStore& store) {
    const std::string& input = item.entry.input;
    std::optional<StoredCheck> check;
    if (item.check) {
        check = store.loadCheck(*item.check);
    }
    if (!check) {
        if (!options.json) {
            return "== " + input + "\n" + item.entry.status + "\n\n";
        }
        nlohmann::ordered_json line;
        line["input"] = input;
        line["error"] = item.entry.status;
        return jsonText(line, -1);
    }
    CliOptions shown = options;
    shown.reportPath.clear();
    std::ostringstream printed;
    showStoredCheck(*check, shown, printed, std::cerr);
    return options.json ? jsonLine(printed.str(), input)
                        : "== " + input + "\n" + printed.str() + "\n";
}

}  // namespace

std::string batchKey(const CliOptions& options, const std::vector<ArticleInput>& articles) {
    std::string key = std::string("engines:") + (options.baidu ? "b" : "") +
                      (options.engine360 ? "3" : "") + (options.local ? "l" : "") + "\n";
    for (const ArticleInput& input : articles) {
        std::error_code error;
        key +=
            input.url.empty() ? std::filesystem::absolute(input.path, error).string() : input.url;
        key += "\n";
    }
    return key;
}

int runBatch(const CliOptions& options, const BatchInputs& inputs, CheckStore* store) {
    std::vector<std::string> reports(inputs.articles.size());
    if (!options.reportDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.reportDir, error);
        if (!std::filesystem::is_directory(options.reportDir, error)) {
            std::cerr << "originality-cli: 无法创建报告文件夹：" << terminalText(options.reportDir)
                      << "\n";
            return kExitUsage;
        }
        reports = reportPathsIn(options.reportDir, inputs.articles);
    }
    // The queue: an unfinished one of the same inputs goes on, else a new one.
    std::vector<StoredBatchItem> items(inputs.articles.size());
    std::optional<BatchId> batch;
    if (store != nullptr) {
        const std::string key = batchKey(options, inputs.articles);
        std::optional<StoredBatch> earlier;
        if (!options.noResume) {
            earlier = store->takeUnfinishedBatch("cli", key);
        }
        if (earlier && earlier->items.size() == items.size() && earlier->unfinished() > 0) {
            std::cerr << "originality-cli: 继续批量检测（" << earlier->unfinished()
                      << " 篇未完成）\n";
            batch = earlier->id;
            items = std::move(earlier->items);
        } else {
            if (earlier) {
                store->endBatch(earlier->id, storeTimeNow());
            }
            batch = store->beginBatch("cli", key);
            for (std::size_t i = 0; i < items.size(); ++i) {
                items[i].position = static_cast<int>(i);
                items[i].entry.input = inputs.articles[i].name();
                items[i].entry.status = "等待";
                if (batch) {
                    store->writeBatchItem(*batch, items[i]);
                }
            }
        }
    }
    std::vector<BatchEntry> entries;
    int worst = 0;
    // One article's first request waits for the last of the article before.
    auto pacing = std::make_shared<EngineRequestTimes>();
    for (std::size_t i = 0; i < inputs.articles.size(); ++i) {
        StoredBatchItem& item = items[i];
        if (item.finished) {
            std::cout << printedAgain(options, item, *store);
            std::cout.flush();
            entries.push_back(item.entry);
            worst = worseExitStatus(worst, exitStatusOfName(item.entry.status));
            continue;
        }
        if (batch) {
            item.entry.status = "检测中";
            store->writeBatchItem(*batch, item);
        }
        ArticleRun run = runArticle(options, inputs.articles[i], true, reports[i], store, pacing);
        std::cout << run.printed;
        std::cout.flush();
        if (batch) {
            item.entry = run.entry;
            item.finished = true;
            item.check = run.check;
            store->writeBatchItem(*batch, item);
        }
        entries.push_back(std::move(run.entry));
        worst = worseExitStatus(worst, run.status);
    }
    if (batch) {
        store->endBatch(*batch, storeTimeNow());
    }
    if (!options.summaryPath.empty() && !writeSummary(options.summaryPath, entries)) {
        std::cerr << "originality-cli: 无法写入汇总文件：" << terminalText(options.summaryPath)
                  << "\n";
        return kExitUsage;
    }
    return worst;
}

}  // namespace oc::cli
