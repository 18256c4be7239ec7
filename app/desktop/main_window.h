// The main window: the article box, the four action buttons, the engine check
// boxes, the button that rechecks unverified segments, the value labels with
// their coverage, the three result grids on tabs (the local engine's page with
// its folder and values), the usage guide panel and the link to the parameter
// window.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string_view>

#include "services/platform.h"

class QBoxLayout;
class QGridLayout;
class QHBoxLayout;
class QLayout;
class QSplitter;

namespace oc {

class ProgressPanel;
class ResultGrid;

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // Design rectangle (outer size) and the smallest size that keeps every
    // computed layout size positive.
    static constexpr int kDesignLeft = 50;
    static constexpr int kDesignTop = 50;
    static constexpr int kDesignWidth = 987;
    static constexpr int kDesignHeight = 674;
    static constexpr int kMinimumWidth = 640;
    static constexpr int kMinimumHeight = 480;
    // Narrower than this, the guide panel becomes the page kGuidePage of the
    // result tabs and the values stack, so nothing overlaps down to the minimum.
    static constexpr int kWideLayoutWidth = kDesignWidth;
    static constexpr int kLocalPage = 2;
    static constexpr int kGuidePage = 3;
    // The local page's row above its grid.
    static constexpr std::string_view kLocalEngineBar = "面板_本地";
    static constexpr int kStatusBarHeight = 20;
    // Between the article (with the buttons and values under it) and the
    // result tabs; the user's division is kept across restarts.
    static constexpr std::string_view kSplitter = "分隔条_文章结果";
    // The guide panel's width beside the article column in a wide window.
    static constexpr int kGuideWidth = 286;
    static constexpr int kMargin = 6;
    // Where a page's grid begins below the top of the tab control.
    static constexpr int kGridTop = 40;
    // Saves the report of the last check; at the right end of the result tabs.
    static constexpr std::string_view kExportReportButton = "按钮_导出报告";
    // Opens the list of stored checks; left of the link to the parameter window.
    static constexpr std::string_view kHistoryLink = "标签_历史记录";
    static constexpr std::string_view kBatchLink = "标签_批量检测";
    // "已忽略 2 个网站" while the settings name sites of the user's own
    // (忽略网站), the list as its tooltip; hidden otherwise.
    static constexpr std::string_view kIgnoredSitesLabel = "标签_忽略网站";
    // The group of the result tabs; its title says when the results are stale.
    static constexpr std::string_view kResultGroup = "分组框_搜索引擎";
    static constexpr std::string_view kStaleNotice = "文章已修改，结果对应修改前的文章";
    // How long after the last keystroke 文章字数 is counted again.
    static constexpr int kCountDelayMs = 300;

    explicit MainWindow(Platform& platform, QWidget* parent = nullptr);

    // A component by its name (UTF-8), null for an unknown name or kind.
    QWidget* component(std::string_view name) const;
    template <class Widget>
    Widget* component(std::string_view name) const {
        return qobject_cast<Widget*>(component(name));
    }
    ResultGrid* grid(std::string_view name) const;

    // The handler of the check button.
    void setCheckHandler(std::function<void()> handler) { checkHandler_ = std::move(handler); }
    // The handler of the button that queries the unverified segments again.
    void setRecheckHandler(std::function<void()> handler) { recheckHandler_ = std::move(handler); }
    // The handler of the stop button (and of Esc while it is usable).
    void setStopHandler(std::function<void()> handler) { stopHandler_ = std::move(handler); }
    // The handler of 导出报告.
    void setExportHandler(std::function<void()> handler) { exportHandler_ = std::move(handler); }
    // The handler of the link 历史记录.
    void setHistoryHandler(std::function<void()> handler) { historyHandler_ = std::move(handler); }
    // The handler of the link 批量检测.
    void setBatchHandler(std::function<void()> handler) { batchHandler_ = std::move(handler); }
    // Runs when the user closes the window, before it goes.
    void setCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }
    // Asks for the article file 打开文件… loads; empty: none chosen. A file
    // dialog unless set (tests).
    void setFileChooser(std::function<QString()> chooser) { chooseFile_ = std::move(chooser); }
    // Whether a check is running: closing the window then asks first.
    void setRunningQuery(std::function<bool()> query) { running_ = std::move(query); }
    // Runs when 清空文本 or 打开文件 has put away the results of the last check.
    void setResultsClearedHandler(std::function<void()> handler) {
        resultsCleared_ = std::move(handler);
    }
    // Counts the characters of the box's text as a check counts them, for
    // 文章字数 while the user types; without it the label waits for a check.
    void setCharCounter(std::function<int(const QString&)> counter) {
        charCounter_ = std::move(counter);
    }

    // The article (as the check read it) the values, grids and marks belong
    // to; none when they belong to no article. While the box holds another
    // text the results are stale: greyed, the result group says so and
    // 重查未核实 is off.
    void setCheckedArticle(std::optional<Text> article);
    bool resultsStale() const { return stale_; }
    // Whether the last run left something to recheck (the passes say so);
    // the button is usable only while the results are not stale as well.
    void setRecheckWanted(bool wanted);
    // Values, coverage, verdicts, grids, marks and the status bar's counts go.
    void clearResults();
    // The sites a check leaves out (忽略网站), as the settings name them.
    void showIgnoredSites(const QStringList& sites);

    // The status bar with the progress of the running check.
    ProgressPanel& progress() const { return *progress_; }

    // A check or recheck has started: the progress shows, 导出报告 waits.
    void runStarted();
    // It has ended, its results in place: the progress goes, 导出报告 is usable.
    void runEnded();

    // The outer size the layout works with.
    QSize outerSize() const;
    // Narrower than kWideLayoutWidth (outer), the guide panel becomes a page
    // of the result tabs and the 360 values go under the Baidu ones.
    void fitToWidth(int outerWidth);
    // The division between the article and the results, as the user left it.
    QByteArray splitterState() const;
    bool restoreSplitterState(const QByteArray& state);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    template <class Widget>
    Widget* add(Widget* widget, std::string_view name);

    void buildLinks(QHBoxLayout& row);
    void buildArticleArea();
    QLayout* buildButtonRows();
    void buildValues();
    void placeValues(bool wide);
    void buildResultArea();
    QWidget* buildGuidePanel();
    void buildStatusBar();
    // The title with the progress of the running check before it.
    void showTitle();

    void clearArticle();
    void pasteArticle();
    void copyArticle();
    void openArticle();
    // Reads a chosen or dropped file into the box.
    void openArticleFrom(const QString& path);
    // The box's text changed: stale or fresh again, 文章字数 soon.
    void articleEdited();
    void showStale(bool stale);
    // 清空文本 and 打开文件 replace the article: the results of the old one go
    // (while a check runs they only turn stale).
    void articleReplaced();

    Platform& platform_;
    ProgressPanel* progress_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QGridLayout* values_ = nullptr;
    QBoxLayout* controls_ = nullptr;
    std::optional<bool> wide_;
    bool splitterChosen_ = false;
    QHash<QString, QWidget*> components_;
    std::function<void()> checkHandler_;
    std::function<void()> recheckHandler_;
    std::function<void()> stopHandler_;
    std::function<void()> closeHandler_;
    std::function<void()> exportHandler_;
    std::function<void()> historyHandler_;
    std::function<void()> batchHandler_;
    std::function<bool()> running_;
    std::function<QString()> chooseFile_;
    std::function<void()> resultsCleared_;
    std::function<int(const QString&)> charCounter_;
    std::optional<Text> checkedArticle_;
    bool stale_ = false;
    bool recheckWanted_ = false;
    QTimer countTimer_;
};

}  // namespace oc
