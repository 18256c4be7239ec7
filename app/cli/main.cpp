// originality-cli: checks articles against the search engines from a terminal,
// with the same passes as the desktop program: one article, or several one
// after another.
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "app/cli/article_run.h"
#include "app/cli/batch_inputs.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_store.h"
#include "app/cli/history_command.h"
#include "app/cli/index_command.h"
#include "check/check_report.h"
#include "check/report_builder.h"
#include "services/file_contents.h"
#include "services/shown_text.h"

namespace {

// The summary of several articles, CSV or HTML by its extension, each
// article's report linked relative to the summary's folder.
bool writeSummary(const std::string& path, std::vector<oc::BatchEntry> entries) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::absolute(fs::path(path)).parent_path();
    for (oc::BatchEntry& entry : entries) {
        if (!entry.report.empty()) {
            std::error_code error;
            entry.report = fs::proximate(fs::absolute(entry.report), folder, error).string();
        }
    }
    const bool csv = oc::reportFormatFor(path) == oc::ReportFormat::Csv;
    return oc::replaceFileAtomically(
        path,
        csv ? oc::batchSummaryCsv(entries)
            : oc::batchSummaryHtml(entries, oc::reportTimestamp(std::chrono::system_clock::now())));
}

}  // namespace

int main(int argc, char** argv) {
    using namespace oc;
    if (cli::isIndexCommand(argc, argv)) {
        return cli::runIndexCommand(argc - 1, argv + 1, std::cout, std::cerr);
    }
    cli::CliOptions options;
    int status = cli::parseCliOptions(argc, argv, options, isatty(STDIN_FILENO) != 0);
    if (status >= 0) {
        return status;
    }
    if (options.history != cli::HistoryCommand::None) {
        std::unique_ptr<CheckStore> store = cli::openCliStore(options);
        return cli::runHistoryCommand(options, store.get(), std::cout, std::cerr);
    }
    const cli::BatchInputs inputs = cli::collectInputs(options);
    if (!inputs.error.empty()) {
        std::cerr << "originality-cli: " << terminalText(inputs.error) << "\n";
        return cli::kExitUsage;
    }
    if (inputs.several && inputs.articles.empty()) {
        std::cerr
            << "originality-cli: 文件夹里没有可检测的文章（.txt、.md、.html、.htm、.docx、.pdf）\n";
        return cli::kExitUsage;
    }
    // A store that cannot be used is said once; the checks go on without it.
    std::unique_ptr<CheckStore> store = cli::openCliStore(options);
    if (cli::tellStoreProblem(store.get(), std::cerr)) {
        store.reset();
    }
    if (!inputs.several) {
        cli::ArticleRun run = cli::runArticle(options, inputs.articles.front(), false,
                                              options.reportPath, store.get());
        std::cout << run.printed;
        std::cout.flush();
        return run.status;
    }
    std::vector<std::string> reports(inputs.articles.size());
    if (!options.reportDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.reportDir, error);
        if (!std::filesystem::is_directory(options.reportDir, error)) {
            std::cerr << "originality-cli: 无法创建报告文件夹：" << terminalText(options.reportDir)
                      << "\n";
            return cli::kExitUsage;
        }
        reports = cli::reportPathsIn(options.reportDir, inputs.articles);
    }
    std::vector<BatchEntry> entries;
    int worst = 0;
    for (std::size_t i = 0; i < inputs.articles.size(); ++i) {
        cli::ArticleRun run =
            cli::runArticle(options, inputs.articles[i], true, reports[i], store.get());
        std::cout << run.printed;
        std::cout.flush();
        entries.push_back(std::move(run.entry));
        worst = cli::worseExitStatus(worst, run.status);
    }
    if (!options.summaryPath.empty() && !writeSummary(options.summaryPath, entries)) {
        std::cerr << "originality-cli: 无法写入汇总文件：" << terminalText(options.summaryPath)
                  << "\n";
        return cli::kExitUsage;
    }
    return worst;
}
