// 批量检测: a queue of articles (files, the readable documents of a folder and
// its subfolders, web addresses) checked one after another, each row showing
// the article's 字数, each engine's value and coverage and its 状态; 开始,
// 停止 and 继续; a finished row opens its check from the history; 导出汇总
// writes the summary as CSV or HTML. The queue lives in the results store, so
// a batch cut short by closing the program can go on at the next start.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "check/check_store.h"
#include "services/platform.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace oc {

class BatchRunner;

struct BatchWindowSetup {
    Text settingsPath;
    Text baiduUrl;  // empty: the settings file's
    Text url360;
    Platform* platform = nullptr;
    CheckStore* store = nullptr;  // none: no history, nothing to go on with
    // The least wait between two requests of one engine (tests make it shorter).
    std::chrono::milliseconds minInterval{3000};
    // Whether the main window's check runs (the batch then waits for it).
    std::function<bool()> otherCheckRunning;
};

class BatchWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kInputColumn = 0;
    static constexpr int kCharsColumn = 1;
    static constexpr int kStatusColumn = 6;

    explicit BatchWindow(BatchWindowSetup setup, QWidget* parent = nullptr);
    ~BatchWindow() override;

    // Dialogs the tests replace: files to add, a folder, addresses (one a
    // line), the summary file (.csv or .html).
    void setFileChooser(std::function<QStringList()> chooser) { chooseFiles_ = std::move(chooser); }
    void setFolderChooser(std::function<QString()> chooser) { chooseFolder_ = std::move(chooser); }
    void setAddressChooser(std::function<QString()> chooser) {
        chooseAddresses_ = std::move(chooser);
    }
    void setSummaryChooser(std::function<QString()> chooser) {
        chooseSummary_ = std::move(chooser);
    }
    // What opens a finished article's check (in the main window).
    void setOpenHandler(std::function<void(CheckId)> handler) { open_ = std::move(handler); }

    // The buttons' work.
    void addFiles();
    void addFolder();
    void addAddresses();
    // Adds files, folders (recursively) and web addresses to the queue.
    void addInputs(const QStringList& inputs);
    void start();  // 开始 and 继续: the articles not finished, in order
    void stop();
    // Writes the summary to `path` (.csv, or .html with each article's report
    // in a folder beside it); false after a message when it cannot.
    bool exportSummary(const QString& path);
    void exportSummary();
    void clearQueue();
    // Opens the check of a finished row.
    void openRow(int row);

    // Takes up the newest unfinished queue of the window kept in the store.
    void takeUp(StoredBatch batch);
    // From 开始 or 继续 until the run's end has reached the window (the queue
    // is then ended in the store when every article is finished).
    bool running() const;
    const std::vector<StoredBatchItem>& items() const { return items_; }
    QTableWidget* table() const { return table_; }
    // Stops the run and waits for it (the program ends).
    void shutdown();

  private:
    void addItem(const std::string& input);
    void showRow(int row);
    void showButtons();
    void writeItem(const StoredBatchItem& item);
    void articleStarted(int position);
    void articlePaused(int position, const QString& pause);
    void articleFinished(int position, const BatchEntry& entry, std::optional<CheckId> check,
                         bool stopped);
    void runEnded();
    void say(const QString& message);

    BatchWindowSetup setup_;
    std::vector<StoredBatchItem> items_;
    std::optional<BatchId> batch_;
    std::unique_ptr<BatchRunner> runner_;
    // From a start until its end reaches this window: the runner's thread is
    // done a moment before, and the queue's end (kept in the store) only then.
    bool going_ = false;
    QTableWidget* table_ = nullptr;
    QCheckBox* baidu_ = nullptr;
    QCheckBox* engine360_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* continue_ = nullptr;
    QPushButton* clear_ = nullptr;
    bool stoppedOnce_ = false;
    std::function<QStringList()> chooseFiles_;
    std::function<QString()> chooseFolder_;
    std::function<QString()> chooseAddresses_;
    std::function<QString()> chooseSummary_;
    std::function<void(CheckId)> open_;
};

}  // namespace oc
