#include "app/desktop/desktop_program.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QSettings>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

#include "app/desktop/article_box.h"
#include "app/desktop/article_keeper.h"
#include "app/desktop/article_loading.h"
#include "app/desktop/article_marking.h"
#include "app/desktop/batch_window.h"
#include "app/desktop/gui_bridge.h"
#include "app/desktop/history_dialog.h"
#include "app/desktop/local_folder_chooser.h"
#include "app/desktop/main_window.h"
#include "app/desktop/main_window_layout.h"
#include "app/desktop/program_icon.h"
#include "app/desktop/program_name.h"
#include "app/desktop/progress_panel.h"
#include "app/desktop/qt_platform.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/qt_window_port.h"
#include "app/desktop/result_grid.h"
#include "app/desktop/skins.h"
#include "app/desktop/usage_guide.h"
#include "check/ignore_list.h"
#include "check/report_builder.h"
#include "check/segmentation.h"
#include "check/store_recorder.h"
#include "check/stored_run.h"
#include "services/boundary_text.h"
#include "services/http_fetch.h"
#include "settings/settings.h"
#include "settings/settings_snapshot.h"
#include "store/run_extra.h"
#include "store/sqlite_check_store.h"
#include "store/store_location.h"
#include "text/web_text_util.h"

namespace oc {

namespace {
// How long shutdown keeps the window's events going while the passes wind down.
constexpr std::chrono::milliseconds kWindDown{3000};
}  // namespace

// The start and the end of every run, carried to the window on the GUI
// thread; the run ends only once the window has taken it in.
class DesktopProgram::RunSignals : public ResultListener {
  public:
    explicit RunSignals(DesktopProgram& program) : program_(program) {}

    void runStarted(const CheckRequest&, RunKind) override {
        program_.bridge_->run([this] { program_.window_->runStarted(); });
    }
    void runEnded(const std::vector<PassRecord>& passes) override {
        program_.bridge_->run([this, &passes] { program_.checkEnded(passes); });
    }

  private:
    DesktopProgram& program_;
};

DesktopProgram::DesktopProgram(DesktopOptions options) {
    // The program's one utility object, first of all.
    webTextUtil();
    // Qt's own dialogs and buttons speak Chinese too.
    installQtTranslations();
    if (options.settingsPath.empty()) {
        options.settingsPath = settingsPath();
    }
    bridge_ = std::make_unique<GuiBridge>();
    qtPlatform_ = std::make_unique<QtPlatform>(*bridge_, options.settingsPath);
    platform_ = options.platform != nullptr ? options.platform : qtPlatform_.get();

    QApplication::setWindowIcon(programIcon());
    window_ = std::make_unique<MainWindow>(*platform_);
    qtPlatform_->setPromptHandler([this](bool open) { window_->progress().promptShown(open); });
    port_ = std::make_unique<QtWindowPort>(*bridge_, *window_);
    PassEnvironment env;
    env.window = port_.get();
    env.platform = platform_;
    env.settingsPath = options.settingsPath;
    settingsPath_ = options.settingsPath;
    env.baiduUrl = options.baiduUrl;
    env.url360 = options.url360;
    env.blocksFromSettings = true;
    // The local engine's indexing and the files it leaves out go to the status bar.
    port_->reportLocalEngineTo(env);
    runSignals_ = std::make_unique<RunSignals>(*this);
    env.listener = runSignals_.get();
    // Every check is kept in the results store as it happens, and its
    // verified result pages answer later checks' queries.
    const std::string storeFile =
        options.storeFile.empty() ? store::storeFilePath() : options.storeFile;
    store_ = std::make_unique<store::SqliteCheckStore>(storeFile);
    tellStoreProblem();
    if (store_ && store_->problem().empty()) {
        env.store = store_.get();
    }
    overrides_ = env;
    env_ = std::move(env);
    if (store_ && store_->problem().empty()) {
        recorder_ = std::make_unique<StoreRecorder>(*store_, "window");
    }
    makeRun();
    window_->setCheckHandler([this] { startCheck(); });
    window_->setExportHandler([this] { exportReport(); });
    window_->component<ArticleBox>(component::kArticleBox)->setWebPageHandler([this] {
        checkWebPage();
    });
    window_->setHistoryHandler([this] { showHistory(); });
    window_->setBatchHandler([this] { showBatch(); });
    batchInterval_ = options.batchInterval;
    window_->setRecheckHandler([this] { recheckUnverified(); });
    window_->setStopHandler([this] {
        if (!shutDown_ && run_ != nullptr && run_->stop()) {
            // An open prompt of the passes answers 取消.
            qtPlatform_->closeOpenBoxes();
        }
    });
    window_->setRunningQuery([this] { return checkRunning(); });
    window_->setCloseHandler([this] { shutdown(); });
    window_->setResultsClearedHandler([this] {
        ends_.clear();
        openedReport_.reset();
    });
    window_->setCharCounter([this](const QString& text) { return countArticle(text); });
    // Whether a check leaves sites out, in sight; again after the parameters change.
    showIgnoredSites();
    qtPlatform_->setParametersClosedHandler([this] {
        if (!shutDown_) {
            showIgnoredSites();
        }
    });

    // What the window does once created: layout for the screen, the skin,
    // the grids' columns.
    layoutMainWindow(*window_, platform_->screenWidth(), platform_->screenHeight());
    applySkin(kStartupSkin);
    for (Engine engine : kAllEngines) {
        if (ResultGrid* grid = window_->grid(engineIdentity(engine).grid)) {
            setupResultGrid(*grid);
        }
    }
    // The guide names the settings file in force.
    for (const char* name : {"超文本浏览框1", "超文本浏览框_说明页"}) {
        if (auto* guide = window_->component<QTextBrowser>(name)) {
            guide->setHtml(usageGuideHtml(qstringFromGbk(options.settingsPath)));
        }
    }
    // The folder of the local documents as the settings file keeps it.
    if (auto* folder = window_->component<LocalFolderChooser>(kLocalFolderChooser)) {
        folder->bindSettings(options.settingsPath);
    }
    // The article of the last session, kept as the user left it.
    const std::string articleFile =
        options.articleFile.empty() ? keptArticlePath(storeFile) : options.articleFile;
    articleKeeper_ =
        std::make_unique<ArticleKeeper>(*window_->component<ArticleBox>(component::kArticleBox),
                                        qstringFromNativePath(articleFile));
    articleKeeper_->setProblemHandler([this](const QString& path) {
        window_->progress().setNotice(QStringLiteral("无法保存文章：") + path);
    });
    articleKeeper_->restore();
    // The division of the window as the user left it.
    if (!articleFile.empty()) {
        windowStateFile_ = QFileInfo(qstringFromNativePath(articleFile))
                               .dir()
                               .filePath(QStringLiteral("window.ini"));
        window_->restoreSplitterState(QSettings(windowStateFile_, QSettings::IniFormat)
                                          .value(QStringLiteral("splitter"))
                                          .toByteArray());
    }
}

void DesktopProgram::showIgnoredSites() {
    IgnoreList sites;
    sites.add(loadIgnoredSites(settingsPath_));
    QStringList shown;
    for (const std::string& domain : sites.domains()) {
        shown << qstringFromUtf8(domain);
    }
    window_->showIgnoredSites(shown);
}

int DesktopProgram::countArticle(const QString& text) const {
    return cutArticle(articleTextOf(text), loadCheckSettings(settingsPath_)).chars;
}

DesktopProgram::~DesktopProgram() {
    shutdown();
}

void DesktopProgram::show() {
    window_->showMaximized();
    // Asked once the window is up.
    QTimer::singleShot(0, window_.get(), [this] { offerUnfinishedBatch(); });
}

void DesktopProgram::showBatch() {
    if (shutDown_) {
        return;
    }
    if (batch_ == nullptr) {
        BatchWindowSetup setup;
        setup.settingsPath = env_.settingsPath;
        setup.baiduUrl = env_.baiduUrl;
        setup.url360 = env_.url360;
        setup.platform = platform_;
        setup.store = store_ && store_->problem().empty() ? store_.get() : nullptr;
        setup.minInterval = batchInterval_;
        setup.otherCheckRunning = [this] { return checkRunning(); };
        batch_ = new BatchWindow(std::move(setup), window_.get());
        batch_->setOpenHandler([this](CheckId id) {
            openStoredCheck(id);
            window_->raise();
            window_->activateWindow();
        });
    }
    batch_->show();
    batch_->raise();
}

bool DesktopProgram::refuseWhileBatchRuns() {
    // 停止 of either would end the other's queries too, and both would ask the
    // same engines at once.
    if (batch_ == nullptr || !batch_->running()) {
        return false;
    }
    platform_->messageBox(gbkFromUtf8("批量检测正在进行，请等它结束或停止后再检测。"), kMbOk);
    return true;
}

void DesktopProgram::offerUnfinishedBatch() {
    if (shutDown_ || store_ == nullptr || !store_->problem().empty() ||
        (batch_ != nullptr && batch_->running())) {
        return;
    }
    std::optional<StoredBatch> batch = store_->takeUnfinishedBatch("window", "");
    if (!batch) {
        return;
    }
    const int left = batch->unfinished();
    if (left == 0 || platform_->messageBox(
                         gbkFromUtf8("继续批量检测（" + std::to_string(left) + " 篇未完成）？"),
                         kMbOkCancel, gbkFromUtf8("批量检测")) == kAnswerCancel) {
        store_->endBatch(batch->id, storeTimeNow());
        return;
    }
    showBatch();
    batch_->takeUp(std::move(*batch));
    batch_->start();
}

void DesktopProgram::startCheck() {
    if (shutDown_ || run_ == nullptr || refuseWhileBatchRuns()) {
        return;
    }
    showIgnoredSites();
    // A settings file that cannot be used is named once, with why; its
    // defaults apply to every check. Values written by hand out of range are
    // said once too; they are used brought into range.
    if (!settingsProblemShown_) {
        settingsProblemShown_ = true;
        if (const Text problem = settingsFileProblem(settingsPath_); !problem.empty()) {
            platform_->messageBox(problem, kMbOk);
        } else if (const Text notice = parameterRangeNotice(settingsPath_); !notice.empty()) {
            platform_->messageBox(notice, kMbOk);
        }
    }
    const Text article = port_->editContent(component::kArticleBox);
    // The page's site is ignored only while the box holds the page's text.
    if (webPage_ && webPage_->article != article) {
        webPage_.reset();
    }
    if (!checkRunning()) {
        ignoreSite(webPage_ ? webPage_->site : std::string());
    }
    // The stored check keeps the page it came from, for its report later.
    if (recorder_ && !checkRunning()) {
        recorder_->setExtra(webPage_ ? runExtraJson({}, WebPageNote{webPage_->url, webPage_->site})
                                     : std::string());
    }
    if (run_->start()) {
        ends_.clear();
        openedReport_.reset();
        window_->component<ArticleBox>(component::kArticleBox)->clearMarks();
        if (const std::shared_ptr<const CheckRequest> request = run_->lastRequest()) {
            window_->setCheckedArticle(request->article);
        }
    }
}

void DesktopProgram::checkEnded(const std::vector<PassRecord>& passes) {
    window_->runEnded();
    if (shutDown_ || run_ == nullptr) {
        return;
    }
    for (const PassRecord& record : passes) {
        std::erase_if(ends_, [&](const PassRecord& end) { return end.engine == record.engine; });
        ends_.push_back(record);
    }
    tellStoreProblem();
    if (history_ != nullptr) {
        history_->reload();
    }
    const std::shared_ptr<const CheckRequest> request = run_->lastRequest();
    markArticle(*window_->component<ArticleBox>(component::kArticleBox),
                request ? request->article : Text(), run_->lastOutcomes());
}

void DesktopProgram::exportReport() {
    if (shutDown_ || run_ == nullptr || checkRunning()) {
        return;
    }
    if (openedReport_) {
        saveReportAs(*openedReport_);
        return;
    }
    const std::shared_ptr<const CheckRequest> request = run_->lastRequest();
    if (!request) {
        return;
    }
    CheckReport withPage = buildCheckReport(ends_, run_->lastOutcomes(), *request);
    if (!ignoredSite_.empty() && webPage_) {
        withPage.settings.push_back({"检测网页", webPageNote(webPage_->url, webPage_->site)});
    }
    saveReportAs(withPage);
}

// Suggested in the folder of the last export (the documents folder at first)
// under the article's title and the date; confirmed with a way to its folder.
void DesktopProgram::saveReportAs(const CheckReport& report) {
    QString folder;
    if (!windowStateFile_.isEmpty()) {
        folder = QSettings(windowStateFile_, QSettings::IniFormat)
                     .value(QStringLiteral("exportFolder"))
                     .toString();
    }
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    const QString suggested =
        QDir(folder).filePath(suggestedReportName(report.article, QDate::currentDate()));
    const ReportFileChoice choice = chooseReportFile_ ? chooseReportFile_(window_.get(), suggested)
                                                      : askReportFile(window_.get(), suggested);
    if (choice.path.isEmpty() || !saveReport(report, choice, *platform_)) {
        return;
    }
    const QString path = QFileInfo(reportPathOf(choice)).absoluteFilePath();
    if (!windowStateFile_.isEmpty()) {
        QSettings(windowStateFile_, QSettings::IniFormat)
            .setValue(QStringLiteral("exportFolder"), QFileInfo(path).absolutePath());
    }
    confirmExport(window_.get(), path, *platform_);
}

void DesktopProgram::ignoreSite(const std::string& site) {
    if (site == ignoredSite_) {
        return;
    }
    // A new run for the new list: the passes read their environment at its making.
    env_.ignoredSites = gbkFromUtf8(site);
    makeRun();
    ignoredSite_ = site;
}

void DesktopProgram::makeRun() {
    run_ = std::make_unique<CheckRun>(env_);
    if (recorder_) {
        run_->listeners().add(*recorder_);
    }
}

void DesktopProgram::checkWebPage() {
    if (shutDown_ || checkRunning() || fetchingPage_) {
        return;
    }
    const QString url =
        (chooseUrl_ ? chooseUrl_()
                    : QInputDialog::getText(window_.get(), QStringLiteral("检测网页"),
                                            QStringLiteral("网页地址（http:// 或 https://）：")))
            .trimmed();
    if (url.isEmpty()) {
        return;
    }
    if (webFetch_.joinable()) {
        webFetch_.join();
    }
    fetchingPage_ = true;
    const std::string address = url.toStdString();
    FetchLimits limits = env_.fetchLimits;
    const Text agent = loadUserAgent(env_.settingsPath);
    if (!agent.empty()) {
        limits.userAgent = agent;
    }
    webFetch_ = std::thread([this, address, limits] {
        auto page = std::make_shared<WebArticle>(fetchWebArticle(address, limits));
        bridge_->post([this, address, page] { webPageArrived(address, *page); });
    });
}

void DesktopProgram::webPageArrived(const std::string& url, const WebArticle& page) {
    fetchingPage_ = false;
    if (shutDown_ || checkRunning()) {
        return;
    }
    if (!page.problem.empty()) {
        platform_->messageBox(page.problem, kMbOk);
        return;
    }
    auto* box = window_->component<ArticleBox>(component::kArticleBox);
    loadArticle(*box, *platform_, page.article);
    webPage_ = WebPage{url, page.site, port_->editContent(component::kArticleBox)};
    startCheck();
}

void DesktopProgram::tellStoreProblem() {
    if (store_ == nullptr || store_->problem().empty()) {
        return;
    }
    if (!storeProblemShown_) {
        storeProblemShown_ = true;
        window_->progress().setNotice(QStringLiteral("检测记录不可用：") +
                                      qstringFromUtf8(store_->problem()));
    }
}

void DesktopProgram::showHistory() {
    if (shutDown_) {
        return;
    }
    if (store_ == nullptr || !store_->problem().empty()) {
        platform_->messageBox(gbkFromUtf8("检测记录不可用。"), kMbOk, gbkFromUtf8("历史记录"));
        return;
    }
    if (history_ == nullptr) {
        history_ = new HistoryDialog(*store_, *platform_, window_.get());
        history_->setOpenHandler([this](CheckId id) { openStoredCheck(id); });
        history_->setExportHandler([this](CheckId id) { exportStoredCheck(id); });
        history_->setRecheckHandler([this](CheckId id) {
            if (openStoredCheck(id)) {
                recheckUnverified();
            }
        });
    } else {
        history_->reload();
    }
    history_->show();
    history_->raise();
}

void DesktopProgram::recheckUnverified() {
    // Never the old article's segments under an edited one.
    if (!shutDown_ && run_ != nullptr && !refuseWhileBatchRuns() && !window_->resultsStale() &&
        run_->recheckUnverified()) {
        // The report is built from the rows as the recheck leaves them.
        openedReport_.reset();
    }
}

bool DesktopProgram::openStoredCheck(CheckId id) {
    if (shutDown_ || store_ == nullptr) {
        return false;
    }
    if (checkRunning()) {
        platform_->messageBox(gbkFromUtf8("检测进行中，请在检测结束后再打开记录。"), kMbOk,
                              gbkFromUtf8("历史记录"));
        return false;
    }
    std::optional<StoredCheck> check = store_->loadCheck(id);
    if (!check) {
        return false;
    }
    StoredRun run = storedRunOf(*check);
    auto* box = window_->component<ArticleBox>(component::kArticleBox);
    replaceArticleText(
        *box,
        qstringFromGbk(run.report.article).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    window_->setCheckedArticle(articleTextOf(box->toPlainText()));
    showStoredRun(*port_, run, check->summary.chars);
    markArticle(*box, run.report.article, run.outcomes);
    // 重查未核实 asks the stored check's unverified rows again and updates it
    // in the store.
    auto request = std::make_shared<const CheckRequest>(
        recheckRequestOf(*check, loadSettingsSnapshot(settingsPath_, overrides_)));
    const bool unverified =
        std::any_of(run.outcomes.begin(), run.outcomes.end(),
                    [](const auto& pass) { return pass.second.hasUnverified(); });
    if (run_->adopt(std::move(request), run.outcomes) && recorder_ != nullptr) {
        recorder_->continueCheck(id);
    }
    port_->setButtonDisabled(component::kRecheckButton, !unverified);
    ends_ = std::move(run.passes);
    openedReport_ = std::move(run.report);
    addWebPageLine(*openedReport_, check->extra);
    return true;
}

void DesktopProgram::exportStoredCheck(CheckId id) {
    if (shutDown_ || store_ == nullptr) {
        return;
    }
    std::optional<StoredCheck> check = store_->loadCheck(id);
    if (!check) {
        return;
    }
    CheckReport report = storedRunOf(*check).report;
    addWebPageLine(report, check->extra);
    saveReportAs(report);
}

bool DesktopProgram::checkRunning() const {
    return run_ != nullptr && run_->active();
}

void DesktopProgram::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    if (articleKeeper_) {
        articleKeeper_->save();
    }
    if (!windowStateFile_.isEmpty()) {
        QSettings(windowStateFile_, QSettings::IniFormat)
            .setValue(QStringLiteral("splitter"), window_->splitterState());
    }
    bridge_->beginShutdown();
    run_->stop();
    if (batch_ != nullptr) {
        batch_->stop();
    }
    qtPlatform_->closeOpenBoxes();
    abortAllFetches();
    if (batch_ != nullptr) {
        batch_->shutdown();
    }
    const auto until = std::chrono::steady_clock::now() + kWindDown;
    while (run_->active() && std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (webFetch_.joinable()) {
        webFetch_.join();
    }
    run_.reset();
    resumeFetches();
}

}  // namespace oc
