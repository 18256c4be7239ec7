// The desktop program as a whole: start-up (main window, layout, skin, grid
// set-up), the check button's run, and a shutdown that never waits on the
// network or on a prompt.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/desktop/report_export.h"
#include "check/check_pass.h"
#include "check/check_report.h"
#include "check/check_run.h"
#include "check/check_store.h"
#include "services/platform.h"
#include "services/text_types.h"
#include "services/web_article.h"

namespace oc {

class ArticleKeeper;
class BatchWindow;
class GuiBridge;
class HistoryDialog;
class StoreRecorder;
class MainWindow;
class QtPlatform;
class QtWindowPort;

struct DesktopOptions {
    // The settings file; settingsPath() when empty.
    Text settingsPath;
    // Search engine base URLs overriding the settings file (tests, demos).
    Text baiduUrl;
    Text url360;
    // Replaces the Qt platform for the window and the passes (tests).
    Platform* platform = nullptr;
    // The results store file; the usual place ($OC_STORE_FILE, beside a
    // portable program, the data folder) when empty.
    std::string storeFile;
    // The least wait between two requests of one engine in 批量检测 (tests).
    std::chrono::milliseconds batchInterval{3000};
    // The file that keeps the article box's text across restarts; beside the
    // results store when empty.
    std::string articleFile;
};

class DesktopProgram {
  public:
    // Needs a QApplication. Builds and lays out the window; show() opens it.
    explicit DesktopProgram(DesktopOptions options = {});
    ~DesktopProgram();
    DesktopProgram(const DesktopProgram&) = delete;
    DesktopProgram& operator=(const DesktopProgram&) = delete;

    // Opens the main window maximised.
    void show();
    MainWindow& window() { return *window_; }
    QtPlatform& qtPlatform() { return *qtPlatform_; }
    // The list of stored checks, opened by the link 历史记录 (null until then).
    HistoryDialog* historyDialog() const { return history_; }
    // The 批量检测 window, opened by its link (null until then).
    BatchWindow* batchWindow() const { return batch_; }
    void showBatch();
    // A queue of 批量检测 the program left unfinished: "继续批量检测（N 篇未完成）"
    // asked, and on 确定 the window goes on with it (on 取消 it is dropped).
    void offerUnfinishedBatch();
    // Whether passes of a check run are still going.
    bool checkRunning() const;

    // Replaces the address dialog of 检测网页 (tests).
    void setUrlChooser(std::function<QString()> chooser) { chooseUrl_ = std::move(chooser); }
    // 检测网页: asks for an address, fetches the page off the window's thread,
    // puts its main text into the article box and checks it with the page's
    // own site ignored. A page that cannot be had is said in a message.
    void checkWebPage();

    // Replaces the save dialog of 导出报告 (tests).
    void setReportFileChooser(ReportFileChooser chooser) { chooseReportFile_ = std::move(chooser); }

    // Pending prompts answer Cancel, fetches are aborted, window operations
    // become no-ops, then the passes are joined. Runs when the window closes.
    void shutdown();

  private:
    class RunSignals;

    // True, after a message, while 批量检测 runs: a check of the window waits for it.
    bool refuseWhileBatchRuns();

    // A check starts: the marks and ends of the last one go.
    void startCheck();
    // A check or recheck has ended with these passes (on the GUI thread).
    void checkEnded(const std::vector<PassRecord>& passes);
    void exportReport();
    void saveReportAs(const CheckReport& report);
    void webPageArrived(const std::string& url, const WebArticle& page);
    // The run checks with `site` (UTF-8; empty: none) among the ignored sites.
    void ignoreSite(const std::string& site);
    // 历史记录: the stored checks; one shown in the window as it was, and its report.
    void showHistory();
    // False when it was not opened (a check running, the check gone).
    bool openStoredCheck(CheckId id);
    // 重查未核实: the unverified rows of the check the window shows asked again.
    void recheckUnverified();
    void exportStoredCheck(CheckId id);
    // Says in the status bar, once, that the store cannot be used.
    void tellStoreProblem();
    // 已忽略 N 个网站 in the window, from the settings file.
    void showIgnoredSites();
    // 文章字数 as a check would count the box's text with the settings in force.
    int countArticle(const QString& text) const;
    // The run of the checks, made anew from env_ (with the store's recorder).
    void makeRun();

    std::unique_ptr<GuiBridge> bridge_;
    std::unique_ptr<QtPlatform> qtPlatform_;
    Platform* platform_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<QtWindowPort> port_;
    std::unique_ptr<RunSignals> runSignals_;
    std::unique_ptr<CheckRun> run_;
    // What the passes are given; a run made anew (another site to ignore) starts from it.
    PassEnvironment env_;
    // The settings file, named once at the first check when it cannot be used.
    Text settingsPath_;
    // What the program gives instead of the file's values (addresses of tests).
    SettingsOverrides overrides_;
    bool settingsProblemShown_ = false;
    bool shutDown_ = false;
    // How each engine's pass of the last check last ended (a recheck
    // replaces the ends of its engines).
    std::vector<PassRecord> ends_;
    ReportFileChooser chooseReportFile_;
    std::function<QString()> chooseUrl_;
    // The web page of 检测网页 while the box holds its text unchanged.
    struct WebPage {
        std::string url;
        std::string site;
        Text article;
    };
    std::optional<WebPage> webPage_;
    std::string ignoredSite_;  // the site the run ignores now
    std::thread webFetch_;
    bool fetchingPage_ = false;
    // The results store (none when it cannot be used) and what keeps each
    // check in it.
    std::unique_ptr<CheckStore> store_;
    std::unique_ptr<StoreRecorder> recorder_;
    bool storeProblemShown_ = false;
    HistoryDialog* history_ = nullptr;
    BatchWindow* batch_ = nullptr;
    std::chrono::milliseconds batchInterval_{3000};
    // The stored check the window shows (导出报告 exports it) until the next check.
    std::optional<CheckReport> openedReport_;
    std::unique_ptr<ArticleKeeper> articleKeeper_;
    // Keeps the splitter's division across restarts, beside the article.
    QString windowStateFile_;
};

}  // namespace oc
