#include "app/desktop/desktop_program.h"

#include <QApplication>
#include <QLabel>
#include <chrono>
#include <thread>

#include "app/desktop/article_box.h"
#include "app/desktop/article_marking.h"
#include "app/desktop/gui_bridge.h"
#include "app/desktop/local_folder_chooser.h"
#include "app/desktop/main_window.h"
#include "app/desktop/main_window_layout.h"
#include "app/desktop/program_icon.h"
#include "app/desktop/qt_platform.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/qt_window_port.h"
#include "app/desktop/result_grid.h"
#include "app/desktop/skins.h"
#include "check/report_builder.h"
#include "services/http_fetch.h"
#include "settings/settings.h"
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
    if (options.settingsPath.empty()) {
        options.settingsPath = settingsPath();
    }
    bridge_ = std::make_unique<GuiBridge>();
    qtPlatform_ = std::make_unique<QtPlatform>(*bridge_, options.settingsPath);
    platform_ = options.platform != nullptr ? options.platform : qtPlatform_.get();

    QApplication::setWindowIcon(programIcon());
    window_ = std::make_unique<MainWindow>(*platform_);
    port_ = std::make_unique<QtWindowPort>(*bridge_, *window_);
    PassEnvironment env;
    env.window = port_.get();
    env.platform = platform_;
    env.settingsPath = options.settingsPath;
    settingsPath_ = options.settingsPath;
    env.baiduUrl = options.baiduUrl;
    env.url360 = options.url360;
    // The local engine's indexing and the files it leaves out go to the status bar.
    port_->reportLocalEngineTo(env);
    runSignals_ = std::make_unique<RunSignals>(*this);
    env.listener = runSignals_.get();
    run_ = std::make_unique<CheckRun>(std::move(env));
    window_->setCheckHandler([this] { startCheck(); });
    window_->setExportHandler([this] { exportReport(); });
    window_->setRecheckHandler([this] {
        if (!shutDown_ && run_ != nullptr) {
            run_->recheckUnverified();
        }
    });
    window_->setStopHandler([this] {
        if (!shutDown_ && run_ != nullptr && run_->stop()) {
            // An open prompt of the passes answers 取消.
            qtPlatform_->closeOpenBoxes();
        }
    });
    window_->setRunningQuery([this] { return checkRunning(); });
    window_->setCloseHandler([this] { shutdown(); });

    // What the window does once created: layout for the screen, the skin,
    // the grids' columns.
    layoutMainWindow(*window_, platform_->screenWidth(), platform_->screenHeight());
    applySkin(kStartupSkin);
    for (Engine engine : kAllEngines) {
        if (ResultGrid* grid = window_->grid(engineIdentity(engine).grid)) {
            setupResultGrid(*grid);
        }
    }
    // The folder of the local documents as the settings file keeps it.
    if (auto* folder = window_->component<LocalFolderChooser>(kLocalFolderChooser)) {
        folder->bindSettings(options.settingsPath);
    }
}

DesktopProgram::~DesktopProgram() {
    shutdown();
}

void DesktopProgram::show() {
    window_->showMaximized();
}

void DesktopProgram::startCheck() {
    if (shutDown_ || run_ == nullptr) {
        return;
    }
    // A settings file that cannot be used is named once, with why; its
    // defaults apply to every check.
    if (!settingsProblemShown_) {
        settingsProblemShown_ = true;
        if (const Text problem = settingsFileProblem(settingsPath_); !problem.empty()) {
            platform_->messageBox(problem, kMbOk);
        }
    }
    if (run_->start()) {
        ends_.clear();
        window_->component<ArticleBox>(component::kArticleBox)->clearMarks();
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
    const std::shared_ptr<const CheckRequest> request = run_->lastRequest();
    markArticle(*window_->component<ArticleBox>(component::kArticleBox),
                request ? request->article : Text(), run_->lastOutcomes());
}

void DesktopProgram::exportReport() {
    if (shutDown_ || run_ == nullptr || checkRunning()) {
        return;
    }
    const ReportFileChoice choice =
        chooseReportFile_ ? chooseReportFile_(window_.get()) : askReportFile(window_.get());
    if (choice.path.isEmpty()) {
        return;
    }
    const std::shared_ptr<const CheckRequest> request = run_->lastRequest();
    if (!request) {
        return;
    }
    saveReport(buildCheckReport(ends_, run_->lastOutcomes(), *request), choice, *platform_);
}

bool DesktopProgram::checkRunning() const {
    return run_ != nullptr && run_->active();
}

void DesktopProgram::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    bridge_->beginShutdown();
    run_->stop();
    qtPlatform_->closeOpenBoxes();
    abortAllFetches();
    const auto until = std::chrono::steady_clock::now() + kWindDown;
    while (run_->active() && std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run_.reset();
    resumeFetches();
}

}  // namespace oc
