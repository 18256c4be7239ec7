#include "app/desktop/batch_runner.h"

#include "check/block_wait.h"
#include "check/check_report.h"
#include "check/check_run.h"
#include "check/memory_window.h"
#include "check/pass_texts.h"
#include "check/report_builder.h"
#include "check/segmentation.h"
#include "check/store_recorder.h"
#include "corpus/archive_library.h"
#include "services/boundary_text.h"
#include "services/document_text.h"
#include "services/url_parts.h"
#include "services/web_article.h"
#include "settings/block_settings.h"
#include "settings/settings.h"
#include "store/run_extra.h"
#include "text/article_filters.h"

namespace oc {
namespace {

// The article of an input, or why there is none (UTF-8); `site` becomes a web
// page's own site.
std::optional<Text> readInput(const std::string& input, const Text& settingsPath, std::string& site,
                              std::string& problem) {
    if (isWebAddress(input)) {
        FetchLimits limits;
        const Text agent = loadUserAgent(settingsPath);
        if (!agent.empty()) {
            limits.userAgent = agent;
        }
        WebArticle page = fetchWebArticle(input, limits);
        if (!page.problem.empty()) {
            problem = utf8FromGbk(page.problem);
            return std::nullopt;
        }
        site = page.site;
        return std::move(page.article.text);
    }
    DocumentText document = readDocumentText(input);
    if (document.problem != DocumentProblem::None) {
        problem = utf8FromGbk(documentProblemText(document));
        return std::nullopt;
    }
    return std::move(document.article.text);
}

// 完成, 部分未核实, 已停止 or 失败 with its reason, by how the passes ended.
std::string statusOf(const std::vector<PassRecord>& passes, bool unverified, bool stopped) {
    for (const PassRecord& pass : passes) {
        if (pass.end == PassEnd::EmptyArticle) {
            return "失败：文章是空的";
        }
        if (pass.end == PassEnd::NoDocuments) {
            return "失败：本地文档目录不可用";
        }
    }
    if (stopped) {
        return "已停止";
    }
    for (const PassRecord& pass : passes) {
        if (pass.end == PassEnd::Cancelled) {
            return "已取消";
        }
    }
    return unverified ? "部分未核实" : "完成";
}

}  // namespace

BatchRunner::BatchRunner(BatchRunnerSetup setup, BatchRunnerEvents events)
    : setup_(std::move(setup)), events_(std::move(events)) {}

BatchRunner::~BatchRunner() {
    stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool BatchRunner::start(std::vector<std::pair<int, std::string>> todo) {
    if (running_.exchange(true)) {
        return false;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    stopping_ = false;
    thread_ = std::thread([this, todo = std::move(todo)]() mutable { work(std::move(todo)); });
    return true;
}

void BatchRunner::stop() {
    stopping_ = true;
    std::lock_guard lock(mutex_);
    if (current_ != nullptr) {
        current_->stop();
    }
}

void BatchRunner::work(std::vector<std::pair<int, std::string>> todo) {
    for (const auto& [position, input] : todo) {
        if (stopping_) {
            break;
        }
        checkOne(position, input);
    }
    running_ = false;
    if (events_.ended) {
        events_.ended();
    }
}

void BatchRunner::checkOne(int position, const std::string& input) {
    if (events_.started) {
        events_.started(position);
    }
    std::string site;
    std::string problem;
    std::optional<Text> article = readInput(input, setup_.settingsPath, site, problem);
    if (!article) {
        BatchEntry entry;
        entry.input = input;
        entry.status = "失败：" + problem;
        events_.finished(position, entry, std::nullopt, false);
        return;
    }
    // An empty article is said in its row, not in a message.
    if (articleCharCount(prepareArticle(*article)) == 0) {
        BatchEntry entry;
        entry.input = input;
        entry.chars = 0;
        entry.status = "失败：文章是空的";
        events_.finished(position, entry, std::nullopt, false);
        return;
    }
    MemoryWindow window;
    window.setEditContent(component::kArticleBox, *article);
    window.setTicked(component::kBaiduCheckBox, setup_.baidu);
    window.setTicked(component::k360CheckBox, setup_.engine360);
    window.setTicked(component::kLocalCheckBox, false);
    PassEnvironment env;
    env.window = &window;
    env.platform = setup_.platform;
    env.settingsPath = setup_.settingsPath;
    env.baiduUrl = setup_.baiduUrl;
    env.url360 = setup_.url360;
    env.library = std::make_shared<corpus::ArchiveLibrary>();
    env.ignoredSites = gbkFromUtf8(site);
    env.minInterval = setup_.minInterval;
    // One article's first request waits for the last of the article before.
    env.lastRequests = pacing_;
    const BlockSettings blocks = loadBlockSettings(setup_.settingsPath);
    env.blocks = std::make_shared<BlockPolicy>(
        onBlockFor(blocks, true) == OnBlock::Wait ? BlockAnswer::Wait : BlockAnswer::Ask,
        std::chrono::minutes(blocks.waitMinutes));
    window.setObserver([this, position](const WindowEvent& event) {
        if (event.kind != WindowEvent::Kind::Paused || !events_.paused) {
            return;
        }
        const std::optional<Engine> engine = engineOfGrid(event.component);
        events_.paused(
            position,
            event.row > 0 && engine
                ? utf8FromGbk(pass_texts::enginePaused(
                      gbkFromUtf8(std::string(engineIdentity(*engine).shortName)), event.row))
                : std::string());
    });
    ResultFanOut listeners;
    env.listener = &listeners;
    std::optional<StoreRecorder> recorder;
    if (setup_.store != nullptr && setup_.store->problem().empty()) {
        recorder.emplace(*setup_.store, "window",
                         site.empty() ? std::string() : runExtraJson({}, WebPageNote{input, site}));
        env.store = setup_.store;
        listeners.add(*recorder);
    }
    std::vector<PassRecord> passes;
    std::map<Engine, PassOutcome> outcomes;
    std::shared_ptr<const CheckRequest> request;
    bool unverified = false;
    bool stopped = false;
    {
        CheckRun run(env);
        {
            // 停止 either comes before the start (and none is made) or stops the run.
            std::lock_guard lock(mutex_);
            current_ = &run;
            if (!stopping_) {
                run.start();
            }
        }
        run.wait();
        {
            std::lock_guard lock(mutex_);
            current_ = nullptr;
        }
        stopped = stopping_;
        passes = run.lastRun();
        outcomes = run.lastOutcomes();
        request = run.lastRequest();
        unverified = run.hasUnverified();
    }
    window.setObserver(nullptr);
    if (!request) {
        request = std::make_shared<const CheckRequest>(
            makeCheckRequest(*article, {}, env.settingsPath, env));
    }
    BatchEntry entry = batchEntryOf(input, buildCheckReport(passes, outcomes, *request));
    entry.status = statusOf(passes, unverified, stopped);
    events_.finished(position, entry, recorder ? recorder->checkId() : std::nullopt, stopped);
}

}  // namespace oc
