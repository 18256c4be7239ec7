// The status bar of the main window while a check runs: per engine how many
// segments are done ("百度 12/43") with a progress bar, and once three are done
// an estimate of the time left. It also gives the window title its "[37%] ".
// For the local engine it first shows the indexing ("索引 1,234 / 10,000 个
// 文件"), and the files it left out behind a button that lists them.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

#include "app/desktop/skipped_files_dialog.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace oc {

// The estimate as the status bar writes it: "约 N 分 M 秒", or "约 M 秒" under
// a minute (whole seconds, rounded).
QString remainingTimeText(std::chrono::milliseconds remaining);
// "索引 1,234 / 10,000 个文件".
QString indexProgressText(std::size_t done, std::size_t total);

class ProgressPanel : public QWidget {
    Q_OBJECT
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr int kEngines = 3;  // in the order of kAllEngines: 百度, 360, 本地
    static constexpr int kLocalEngine = 2;
    // Segments an engine finishes before its time per segment is trusted.
    static constexpr int kSegmentsBeforeEstimate = 3;

    explicit ProgressPanel(QWidget* parent = nullptr);

    // Where the time comes from (tests); the steady clock by default.
    void setClock(Clock clock) { clock_ = std::move(clock); }

    // A check starts: every engine's progress, and the files left out, are forgotten.
    void begin();
    // The same without a check: the counts of results put away go.
    void clear();
    // An engine's pass has finished `done` of its `total` segments.
    void update(int engine, int done, int total);
    // The pass has ended with this coverage ("已核实 4/43", "已取消 0/43"):
    // the status bar says the same until the engine counts again.
    void passEnded(int engine, const QString& coverage);
    // An engine waits out a block: its place shows "百度已暂停，09:41 后继续"
    // while `secondsLeft` is above 0; the time estimate leaves the pause out.
    void paused(int engine, int secondsLeft);
    // An engine's prompt opened (true) or was answered (false): the time while
    // any is open is left out of the estimate, as a pause is.
    void promptShown(bool open);
    // The local engine has indexed `done` of the `total` files of its folder;
    // shown in its place until its segments are counted.
    void indexing(std::size_t done, std::size_t total);
    // The files the local engine left out: "已跳过 N 个文件" while there are
    // some, a click listing them; an open list follows.
    void setSkippedFiles(std::vector<SkippedFileRow> files);
    // Opens the list of the files left out (null while there are none).
    SkippedFilesDialog* showSkippedFiles();
    // The check ended: the counts stay, the estimate and the title prefix go.
    void end();

    // A lasting note at the right end ("检测记录不可用：…"); empty hides it.
    void setNotice(const QString& text);

    bool running() const { return running_; }
    // "[37%] " while a check runs: finished segments over all segments of the
    // engines taking part; empty otherwise.
    QString titlePrefix() const;

  signals:
    // The title prefix changed.
    void titlePrefixChanged();

  private:
    struct EngineProgress {
        int done = 0;
        int total = 0;
        bool started = false;
        bool indexing = false;  // the local engine's files, before its segments
        QString ended;          // the coverage the pass ended with
        std::size_t filesDone = 0;
        std::size_t filesTotal = 0;
        std::chrono::steady_clock::time_point since{};
        int pausedLeft = 0;  // seconds of a pause still to wait; 0: not paused
        std::chrono::steady_clock::time_point pausedSince{};
        QLabel* label = nullptr;
        QProgressBar* bar = nullptr;
    };

    void refresh();

    int openPrompts_ = 0;
    std::chrono::steady_clock::time_point promptsSince_{};
    Clock clock_;
    std::array<EngineProgress, kEngines> engines_{};
    QLabel* estimate_ = nullptr;
    QLabel* notice_ = nullptr;
    QPushButton* skippedButton_ = nullptr;
    std::vector<SkippedFileRow> skipped_;
    QPointer<SkippedFilesDialog> skippedDialog_;
    bool running_ = false;
    QString prefix_;
};

}  // namespace oc
