#include "app/cli/article_run.h"

#include <iostream>
#include <nlohmann/json.hpp>

#include "app/cli/article_input.h"
#include "app/cli/cli_store.h"
#include "app/cli/json_text.h"
#include "app/cli/progress_printer.h"
#include "app/cli/result_report.h"
#include "app/cli/terminal_platform.h"
#include "check/article_length.h"
#include "check/check_run.h"
#include "check/memory_window.h"
#include "check/pass_texts.h"
#include "check/report_builder.h"
#include "check/result_listener.h"
#include "check/segmentation.h"
#include "check/store_recorder.h"
#include "corpus/archive_library.h"
#include "services/boundary_text.h"
#include "services/shown_text.h"
#include "settings/block_settings.h"
#include "settings/settings.h"
#include "store/run_extra.h"

namespace oc::cli {
namespace {

int rankOf(int status) {
    switch (status) {
        case kExitUsage:
            return 4;
        case kExitCancelled:
            return 3;
        case kExitUnverified:
            return 2;
        case kExitEmptyArticle:
            return 1;
        default:
            return 0;
    }
}

ArticleRun failed(const ArticleInput& input, bool oneOfSeveral, const std::string& error) {
    std::cerr << "originality-cli: " << terminalText(error) << "\n";
    ArticleRun run;
    run.status = kExitUsage;
    run.entry.input = input.name();
    run.entry.status = "失败：" + error;
    if (oneOfSeveral) {
        nlohmann::ordered_json line;
        line["input"] = input.name();
        line["error"] = error;
        run.printed = jsonText(line, -1);
    }
    return run;
}

// 屏蔽时 and 屏蔽等待 of the options, else of the settings file, else the
// defaults of one article (the prompt) or of several (自动等待).
std::shared_ptr<BlockPolicy> blockPolicyOf(const CliOptions& options, const BlockSettings& settings,
                                           bool several) {
    const bool wait = options.waitOnBlock.value_or(onBlockFor(settings, several) == OnBlock::Wait);
    std::chrono::milliseconds pause = std::chrono::minutes(
        options.blockWaitMinutes > 0 ? options.blockWaitMinutes : settings.waitMinutes);
    if (options.blockWaitMs > 0) {
        pause = std::chrono::milliseconds(options.blockWaitMs);
    }
    return std::make_shared<BlockPolicy>(wait ? BlockAnswer::Wait : BlockAnswer::Ask, pause);
}

}  // namespace

std::string jsonLine(const std::string& json, const std::string& input) {
    nlohmann::ordered_json line;
    line["input"] = input;
    nlohmann::ordered_json doc = nlohmann::ordered_json::parse(json, nullptr, false);
    if (doc.is_object()) {
        for (auto& [key, value] : doc.items()) {
            line[key] = std::move(value);
        }
    }
    return jsonText(line, -1);
}

std::string statusName(int status) {
    switch (status) {
        case 0:
            return "完成";
        case kExitUnverified:
            return "部分未核实";
        case kExitCancelled:
            return "已取消";
        case kExitEmptyArticle:
            return "失败：文章是空的";
        default:
            return "失败";
    }
}

int exitStatusOfName(const std::string& name) {
    for (int status : {0, kExitUnverified, kExitCancelled, kExitEmptyArticle}) {
        if (name == statusName(status)) {
            return status;
        }
    }
    return kExitUsage;
}

int worseExitStatus(int a, int b) {
    return rankOf(a) >= rankOf(b) ? a : b;
}

ArticleRun runArticle(const CliOptions& options, const ArticleInput& input, bool oneOfSeveral,
                      const std::string& reportPath, CheckStore* store,
                      std::shared_ptr<EngineRequestTimes> pacing) {
    std::string error;
    std::string ownSite;  // the site of the web page checked, which does not count
    std::optional<DecodedArticle> decoded;
    if (input.url.empty()) {
        decoded = readArticle(input.path, error);
    } else {
        decoded = readWebArticle(options, input.url, ownSite, error);
    }
    // Counted as read, before the filters drop anything.
    if (decoded && articleLength(decoded->text) > kMaxArticleChars) {
        error = utf8FromGbk(pass_texts::articleTooLong(articleLength(decoded->text)));
        decoded.reset();
    }
    if (!decoded) {
        return failed(input, oneOfSeveral && options.json, error);
    }
    for (const ArticleWarning& warning : decoded->warnings) {
        std::cerr << "originality-cli: " << warningLine(warning) << "\n";
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
    // Values written by hand out of range are brought into range, and said.
    for (const Text& problem :
         {settingsFileProblem(env.settingsPath), parameterRangeNotice(env.settingsPath)}) {
        if (!problem.empty()) {
            std::cerr << "originality-cli: " << terminalText(utf8FromGbk(problem)) << "\n";
        }
    }
    // An address in the settings file that is no base URL stops the check
    // before any query, unless a flag gives the address.
    EngineEndpoints fileEndpoints = loadEngineEndpoints(env.settingsPath);
    for (const Text* endpointError :
         {options.baidu && env.baiduUrl.empty() ? &fileEndpoints.baiduError : nullptr,
          options.engine360 && env.url360.empty() ? &fileEndpoints.error360 : nullptr}) {
        if (endpointError != nullptr && !endpointError->empty()) {
            return failed(input, oneOfSeveral && options.json, utf8FromGbk(*endpointError));
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
    TerminalPlatform platform(options.onEmptyPage, std::cin, std::cerr);
    env.platform = &platform;
    env.blocks = blockPolicyOf(options, loadBlockSettings(env.settingsPath), oneOfSeveral);
    if (oneOfSeveral) {
        env.lastRequests = std::move(pacing);
        env.minInterval = options.batchIntervalMs >= 0
                              ? std::chrono::milliseconds(options.batchIntervalMs)
                              : std::chrono::milliseconds(kBatchInterval);
    }

    env.mode = options.mode;
    env.coveragePercent = options.coveragePercent;
    env.cacheDays = options.cacheDays;
    // The progress lines and the store both follow the results.
    ResultFanOut listeners;
    env.listener = &listeners;
    ProgressPrinter progress(std::cerr);
    if (!options.quiet) {
        window.setObserver([&progress](const WindowEvent& event) { progress(event); });
        listeners.add(progress);
    }
    std::optional<WebPageNote> note;
    if (!input.url.empty()) {
        note = WebPageNote{input.url, ownSite};
    }
    // Each row is kept as it is written.
    std::optional<StoreRecorder> recorder;
    if (store != nullptr) {
        recorder.emplace(*store, "cli", runExtraJson(decoded->warnings, note));
        env.store = store;
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
    tellStoreProblem(store, std::cerr);
    const std::vector<corpus::SkippedFile> skipped = env.library->skipped();
    for (const corpus::SkippedFile& file : skipped) {
        std::cerr << "skipped: " << terminalText(file.path) << ": "
                  << terminalText(utf8FromGbk(file.reason)) << "\n";
    }

    ArticleRun result;
    // No check started (an empty article): the report describes the press.
    if (!request) {
        request = std::make_shared<const CheckRequest>(
            makeCheckRequest(article, {}, env.settingsPath, env));
    }
    CheckReport report = buildCheckReport(passes, outcomes, *request);
    result.printed = options.json ? jsonReport(passes, report, decoded->warnings,
                                               options.local ? &skipped : nullptr)
                                  : textReport(passes, report, !options.noUrls);
    if (note) {
        report.settings.push_back({"检测网页", note->sentence()});
        result.printed = options.json ? withWebPage(result.printed, *note)
                                      : terminalText(note->sentence()) + "\n" + result.printed;
    }
    if (oneOfSeveral) {
        result.printed = options.json ? jsonLine(result.printed, input.name())
                                      : "== " + input.name() + "\n" + result.printed + "\n";
    }

    for (const PassRecord& pass : passes) {
        if (pass.end == PassEnd::EmptyArticle) {
            result.status = kExitEmptyArticle;
            break;
        }
        if (pass.end == PassEnd::NoDocuments) {
            result.status = kExitUsage;  // the folder's message has been shown
            break;
        }
        if (pass.end == PassEnd::Cancelled) {
            result.status = kExitCancelled;
        }
    }
    if (result.status == 0 && unverified) {
        result.status = kExitUnverified;
    }
    result.entry = batchEntryOf(input.name(), report);
    // The report is written after a cancelled pass too; a file that cannot be
    // written after all is an error, never a silent success.
    if (!reportPath.empty()) {
        Text whyNot;
        if (writeReportFile(reportPath, report, &whyNot)) {
            result.entry.report = reportPath;
        } else {
            std::cerr << "originality-cli: 无法写入报告文件：" << terminalText(reportPath) << "（"
                      << terminalText(utf8FromGbk(whyNot)) << "）\n";
            result.status = kExitUsage;
        }
    }

    result.entry.status = statusName(result.status);
    if (recorder) {
        result.check = recorder->checkId();
    }
    return result;
}

}  // namespace oc::cli
