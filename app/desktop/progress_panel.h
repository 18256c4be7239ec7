// The status bar of the main window while a check runs: per engine how many
// segments are done ("百度 12/43") with a progress bar, and once three are done
// an estimate of the time left. It also gives the window title its "[37%] ".
#pragma once

#include <QWidget>
#include <array>
#include <chrono>
#include <functional>

class QLabel;
class QProgressBar;

namespace oc {

// The estimate as the status bar writes it: "约 N 分 M 秒", or "约 M 秒" under
// a minute (whole seconds, rounded).
QString remainingTimeText(std::chrono::milliseconds remaining);

class ProgressPanel : public QWidget {
    Q_OBJECT
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr int kEngines = 2;  // 0: 百度, 1: 360
    // Segments an engine finishes before its time per segment is trusted.
    static constexpr int kSegmentsBeforeEstimate = 3;

    explicit ProgressPanel(QWidget* parent = nullptr);

    // Where the time comes from (tests); the steady clock by default.
    void setClock(Clock clock) { clock_ = std::move(clock); }

    // A check starts: every engine's progress is forgotten.
    void begin();
    // An engine's pass has finished `done` of its `total` segments.
    void update(int engine, int done, int total);
    // The check ended: the counts stay, the estimate and the title prefix go.
    void end();

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
        std::chrono::steady_clock::time_point since{};
        QLabel* label = nullptr;
        QProgressBar* bar = nullptr;
    };

    void refresh();

    Clock clock_;
    std::array<EngineProgress, kEngines> engines_{};
    QLabel* estimate_ = nullptr;
    bool running_ = false;
    QString prefix_;
};

}  // namespace oc
