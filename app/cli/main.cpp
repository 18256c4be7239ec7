// originality-cli: checks an article against the search engines from a terminal,
// with the same passes as the desktop program.
#include <unistd.h>

#include <iostream>

#include "app/cli/article_input.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_store.h"
#include "app/cli/history_command.h"
#include "app/cli/history_show.h"
#include "app/cli/index_command.h"
#include "app/cli/progress_printer.h"
#include "app/cli/result_report.h"
#include "app/cli/terminal_platform.h"
#include "check/article_length.h"
#include "check/check_run.h"
#include "check/memory_window.h"
#include "check/pass_texts.h"
#include "check/report_builder.h"
#include "check/result_listener.h"
#include "check/store_recorder.h"
#include "corpus/archive_library.h"
#include "services/boundary_text.h"
#include "services/http_fetch.h"
#include "services/shown_text.h"
#include "settings/settings.h"

namespace {

constexpr int kExitCancelled = 1;
constexpr int kExitEmptyArticle = 3;

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
    std::string error;
    std::string ownSite;  // the site of the web page checked, which does not count
    std::optional<DecodedArticle> decoded;
    if (options.url.empty()) {
        decoded = cli::readArticle(options.article, error);
    } else {
        decoded = cli::readWebArticle(options, ownSite, error);
    }
    // Counted as read, before the filters drop anything.
    if (decoded && articleLength(decoded->text) > kMaxArticleChars) {
        error = utf8FromGbk(pass_texts::articleTooLong(articleLength(decoded->text)));
        decoded.reset();
    }
    if (!decoded) {
        std::cerr << "originality-cli: " << terminalText(error) << "\n";
        return cli::kExitUsage;
    }
    for (const ArticleWarning& warning : decoded->warnings) {
        std::cerr << "originality-cli: " << cli::warningLine(warning) << "\n";
    }
    const Text& article = decoded->text;

    MemoryWindow window;
    window.setEditContent(component::kArticleBox, article);
    window.setTicked(component::kBaiduCheckBox, options.baidu);
    window.setTicked(component::k360CheckBox, options.engine360);
    window.setTicked(component::kLocalCheckBox, options.local);

    PassEnvironment env;
    env.window = &window;
    env.settingsPath = gbkFromUtf8(options.settingsFile);
    env.baiduUrl = gbkFromUtf8(options.baiduUrl);
    env.url360 = gbkFromUtf8(options.url360);
    // A settings file that cannot be used is named, with why; its defaults apply.
    if (const Text problem = settingsFileProblem(env.settingsPath); !problem.empty()) {
        std::cerr << "originality-cli: " << terminalText(utf8FromGbk(problem)) << "\n";
    }
    // An address in the settings file that is no base URL stops the check
    // before any query, unless a flag gives the address.
    EngineEndpoints fileEndpoints = loadEngineEndpoints(env.settingsPath);
    for (const Text* error :
         {options.baidu && env.baiduUrl.empty() ? &fileEndpoints.baiduError : nullptr,
          options.engine360 && env.url360.empty() ? &fileEndpoints.error360 : nullptr}) {
        if (error != nullptr && !error->empty()) {
            std::cerr << "originality-cli: " << terminalText(utf8FromGbk(*error)) << "\n";
            return cli::kExitUsage;
        }
    }
    if (options.stallTimeoutMs > 0) {
        env.fetchLimits.stallTimeout = std::chrono::milliseconds(options.stallTimeoutMs);
    }
    if (options.pageTimeoutS > 0) {
        env.pageTimeout = std::chrono::seconds(options.pageTimeoutS);
    }
    if (options.intervalMs >= 0) {
        env.interval = std::chrono::milliseconds(options.intervalMs);
    }
    env.userAgent = options.userAgent;
    env.localFolder = options.corpus;
    env.library = std::make_shared<corpus::ArchiveLibrary>();
    for (const std::string& domains : options.ignoreDomains) {
        env.ignoredSites += gbkFromUtf8(domains) + " ";
    }
    if (!ownSite.empty()) {
        env.ignoredSites += gbkFromUtf8(ownSite) + " ";
    }
    cli::TerminalPlatform platform(options.onEmptyPage, std::cin, std::cerr);
    env.platform = &platform;

    env.mode = options.mode;
    env.coveragePercent = options.coveragePercent;
    env.cacheDays = options.cacheDays;
    // The progress lines and the store both follow the results.
    ResultFanOut listeners;
    env.listener = &listeners;
    cli::ProgressPrinter progress(std::cerr);
    if (!options.quiet) {
        window.setObserver([&progress](const WindowEvent& event) { progress(event); });
        listeners.add(progress);
    }

    // A store that cannot be used is said once; the check goes on without it.
    std::unique_ptr<CheckStore> store = cli::openCliStore(options);
    if (cli::tellStoreProblem(store.get(), std::cerr)) {
        store.reset();
    }
    // Each row is kept as it is written.
    std::optional<StoreRecorder> recorder;
    if (store) {
        std::optional<cli::WebPageNote> page;
        if (!options.url.empty()) {
            page = cli::WebPageNote{options.url, ownSite};
        }
        recorder.emplace(*store, "cli", cli::runExtraJson(decoded->warnings, page));
        env.store = store.get();
        listeners.add(*recorder);
    }

    std::vector<PassRecord> passes;
    std::map<Engine, PassOutcome> outcomes;
    std::shared_ptr<const CheckRequest> request;
    bool unverified = false;
    {
        CheckRun run(env);
        run.start();
        run.wait();
        passes = run.lastRun();
        outcomes = run.lastOutcomes();
        request = run.lastRequest();
        unverified = run.hasUnverified();
    }
    window.setObserver(nullptr);
    // A store that failed during the check is said now.
    cli::tellStoreProblem(store.get(), std::cerr);
    const std::vector<corpus::SkippedFile> skipped = env.library->skipped();
    for (const corpus::SkippedFile& file : skipped) {
        std::cerr << "skipped: " << terminalText(file.path) << ": "
                  << terminalText(utf8FromGbk(file.reason)) << "\n";
    }

    // No check started (an empty article): the report describes the press.
    if (!request) {
        request = std::make_shared<const CheckRequest>(
            makeCheckRequest(article, {}, env.settingsPath, env));
    }
    CheckReport report = buildCheckReport(passes, outcomes, *request);
    std::optional<cli::WebPageNote> note;
    if (!options.url.empty()) {
        note = cli::WebPageNote{options.url, ownSite};
        report.settings.push_back({"检测网页", note->sentence()});
    }
    if (options.json) {
        const std::string json =
            cli::jsonReport(passes, report, decoded->warnings, options.local ? &skipped : nullptr);
        std::cout << (note ? cli::withWebPage(json, *note) : json);
    } else {
        if (note) {
            std::cout << terminalText(note->sentence()) << "\n";
        }
        cli::writeTextReport(std::cout, passes, report);
    }
    std::cout.flush();
    // The report is written after a cancelled pass too; a file that cannot be
    // written after all is an error, never a silent success.
    Text whyNot;
    if (!options.reportPath.empty() && !writeReportFile(options.reportPath, report, &whyNot)) {
        std::cerr << "originality-cli: 无法写入报告文件：" << terminalText(options.reportPath)
                  << "（" << terminalText(utf8FromGbk(whyNot)) << "）\n";
        return cli::kExitUsage;
    }

    int exitStatus = 0;
    for (const PassRecord& pass : passes) {
        if (pass.end == PassEnd::EmptyArticle) {
            return kExitEmptyArticle;
        }
        if (pass.end == PassEnd::NoDocuments) {
            return cli::kExitUsage;  // the folder's message has been shown
        }
        if (pass.end == PassEnd::Cancelled) {
            exitStatus = kExitCancelled;
        }
    }
    if (exitStatus == 0 && unverified) {
        return cli::kExitUnverified;
    }
    return exitStatus;
}
