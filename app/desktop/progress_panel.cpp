#include "app/desktop/progress_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "app/desktop/qt_text.h"
#include "app/desktop/widget_style.h"
#include "check/engine_tables.h"

namespace oc {

QString remainingTimeText(std::chrono::milliseconds remaining) {
    const long long seconds = std::max<long long>(0, (remaining.count() + 500) / 1000);
    if (seconds < 60) {
        return QStringLiteral("约 %1 秒").arg(seconds);
    }
    return QStringLiteral("约 %1 分 %2 秒").arg(seconds / 60).arg(seconds % 60);
}

QString indexProgressText(std::size_t done, std::size_t total) {
    const QLocale grouped(QLocale::English, QLocale::UnitedStates);
    return QStringLiteral("索引 %1 / %2 个文件")
        .arg(grouped.toString(static_cast<qulonglong>(done)),
             grouped.toString(static_cast<qulonglong>(total)));
}

ProgressPanel::ProgressPanel(QWidget* parent)
    : QWidget(parent), clock_([] { return std::chrono::steady_clock::now(); }) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 4, 0);
    row->setSpacing(6);
    const char* names[kEngines][2] = {{"标签_进度百度", "进度条_百度"},
                                      {"标签_进度360", "进度条_360"},
                                      {"标签_进度本地", "进度条_本地"}};
    for (int engine = 0; engine < kEngines; ++engine) {
        EngineProgress& shown = engines_[static_cast<std::size_t>(engine)];
        shown.label = new QLabel(this);
        shown.label->setObjectName(QString::fromUtf8(names[engine][0]));
        shown.label->setFont(pixelFont(12));
        // In a narrow window the bars give way; the counts stay readable.
        shown.label->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
        shown.bar = new QProgressBar(this);
        shown.bar->setObjectName(QString::fromUtf8(names[engine][1]));
        shown.bar->setTextVisible(false);
        shown.bar->setMinimumWidth(16);
        shown.bar->setMaximumWidth(64);
        shown.bar->setMaximumHeight(12);
        shown.bar->setVisible(false);
        row->addWidget(shown.label);
        row->addWidget(shown.bar);
        row->addSpacing(8);
    }
    skippedButton_ = new QPushButton(this);
    skippedButton_->setObjectName(QStringLiteral("按钮_已跳过文件"));
    skippedButton_->setFont(pixelFont(12, false, true));
    skippedButton_->setFlat(true);
    skippedButton_->setCursor(Qt::PointingHandCursor);
    skippedButton_->setStyleSheet(
        QStringLiteral("QPushButton { color: blue; border: none; padding: 0 2px; }"));
    skippedButton_->setToolTip(QStringLiteral("本地文档目录中没有参与比对的文件及原因"));
    skippedButton_->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    skippedButton_->setVisible(false);
    connect(skippedButton_, &QPushButton::clicked, this, [this] { showSkippedFiles(); });
    row->addWidget(skippedButton_);
    row->addSpacing(8);
    estimate_ = new QLabel(this);
    estimate_->setObjectName(QStringLiteral("标签_剩余时间"));
    estimate_->setFont(pixelFont(12));
    estimate_->setToolTip(QStringLiteral("预计剩余时间：已查各段的平均用时 × 未查的段数"));
    row->addWidget(estimate_);
    row->addStretch(1);
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("标签_检测记录"));
    notice_->setFont(pixelFont(12));
    notice_->setStyleSheet(QStringLiteral("QLabel { color: red; }"));
    notice_->setVisible(false);
    row->addWidget(notice_);
}

void ProgressPanel::setNotice(const QString& text) {
    notice_->setText(text);
    notice_->setToolTip(text);
    notice_->setVisible(!text.isEmpty());
}

void ProgressPanel::begin() {
    clear();
    running_ = true;
    refresh();
}

void ProgressPanel::clear() {
    for (EngineProgress& shown : engines_) {
        shown.done = 0;
        shown.total = 0;
        shown.started = false;
        shown.indexing = false;
        shown.pausedLeft = 0;
        shown.ended.clear();
    }
    setSkippedFiles({});
    running_ = false;
    refresh();
}

void ProgressPanel::update(int engine, int done, int total) {
    if (engine < 0 || engine >= kEngines) {
        return;
    }
    EngineProgress& shown = engines_[static_cast<std::size_t>(engine)];
    if (!shown.started || done < shown.done) {
        // A pass (or a recheck) starts counting afresh.
        shown.started = true;
        shown.since = clock_();
    }
    shown.ended.clear();
    shown.done = std::clamp(done, 0, std::max(total, 0));
    shown.total = std::max(total, 0);
    shown.indexing = false;
    refresh();
}

void ProgressPanel::paused(int engine, int secondsLeft) {
    if (engine < 0 || engine >= kEngines) {
        return;
    }
    EngineProgress& shown = engines_[static_cast<std::size_t>(engine)];
    const auto now = clock_();
    if (secondsLeft > 0 && shown.pausedLeft == 0) {
        shown.pausedSince = now;
    } else if (secondsLeft <= 0 && shown.pausedLeft > 0) {
        shown.since += now - shown.pausedSince;  // the pause is no time spent on segments
    }
    shown.pausedLeft = std::max(secondsLeft, 0);
    refresh();
}

void ProgressPanel::promptShown(bool open) {
    if (open) {
        if (openPrompts_++ == 0) {
            promptsSince_ = clock_();
        }
        return;
    }
    if (openPrompts_ > 0 && --openPrompts_ == 0) {
        const auto waited = clock_() - promptsSince_;
        for (EngineProgress& shown : engines_) {
            shown.since += waited;  // waiting for the user is no time spent on segments
        }
        refresh();
    }
}

void ProgressPanel::passEnded(int engine, const QString& coverage) {
    if (engine < 0 || engine >= kEngines) {
        return;
    }
    EngineProgress& shown = engines_[static_cast<std::size_t>(engine)];
    if (shown.started) {
        shown.ended = coverage;
        refresh();
    }
}

void ProgressPanel::indexing(std::size_t done, std::size_t total) {
    EngineProgress& shown = engines_[kLocalEngine];
    if (shown.started) {
        return;  // a late report once the segments are counted
    }
    shown.indexing = true;
    shown.filesDone = std::min(done, total);
    shown.filesTotal = total;
    refresh();
}

void ProgressPanel::setSkippedFiles(std::vector<SkippedFileRow> files) {
    skipped_ = std::move(files);
    skippedButton_->setText(QStringLiteral("已跳过 %1 个文件").arg(skipped_.size()));
    skippedButton_->setVisible(!skipped_.empty());
    if (skippedDialog_ != nullptr) {
        skippedDialog_->setFiles(skipped_);
    }
}

SkippedFilesDialog* ProgressPanel::showSkippedFiles() {
    if (skipped_.empty()) {
        return nullptr;
    }
    if (skippedDialog_ == nullptr) {
        skippedDialog_ = new SkippedFilesDialog(window());
        skippedDialog_->setAttribute(Qt::WA_DeleteOnClose);
    }
    skippedDialog_->setFiles(skipped_);
    skippedDialog_->show();
    skippedDialog_->raise();
    skippedDialog_->activateWindow();
    return skippedDialog_;
}

void ProgressPanel::end() {
    running_ = false;
    refresh();
}

QString ProgressPanel::titlePrefix() const {
    return prefix_;
}

void ProgressPanel::refresh() {
    int done = 0;
    int total = 0;
    std::chrono::milliseconds left{0};
    bool estimated = false;
    const auto now = clock_();
    for (int engine = 0; engine < kEngines; ++engine) {
        EngineProgress& shown = engines_[static_cast<std::size_t>(engine)];
        if (shown.indexing) {
            shown.label->setText(indexProgressText(shown.filesDone, shown.filesTotal));
            shown.bar->setVisible(true);
            // Counts above the bar's int range are scaled down alike.
            const int scale = static_cast<int>(shown.filesTotal / 1000000 + 1);
            shown.bar->setRange(0, std::max(static_cast<int>(shown.filesTotal / scale), 1));
            shown.bar->setValue(static_cast<int>(shown.filesDone / scale));
            continue;
        }
        const QString name = qstringFromUtf8(engineIdentity(kAllEngines[engine]).shortName);
        if (shown.pausedLeft > 0) {
            shown.label->setText(QStringLiteral("%1已暂停，%2:%3 后继续")
                                     .arg(name)
                                     .arg(shown.pausedLeft / 60, 2, 10, QLatin1Char('0'))
                                     .arg(shown.pausedLeft % 60, 2, 10, QLatin1Char('0')));
        } else if (!shown.ended.isEmpty()) {
            // How the pass ended, in the words of its coverage.
            shown.label->setText(name + QLatin1Char(' ') + shown.ended);
        } else {
            shown.label->setText(
                shown.started
                    ? QStringLiteral("%1 %2/%3").arg(name).arg(shown.done).arg(shown.total)
                    : QString());
        }
        shown.bar->setVisible(shown.started);
        shown.bar->setRange(0, std::max(shown.total, 1));
        shown.bar->setValue(shown.done);
        if (!shown.started) {
            continue;
        }
        done += shown.done;
        total += shown.total;
        if (shown.done >= kSegmentsBeforeEstimate && shown.done < shown.total) {
            const auto pausing = shown.pausedLeft > 0 ? now - shown.pausedSince
                                                      : std::chrono::steady_clock::duration{};
            const auto spent =
                std::chrono::duration_cast<std::chrono::milliseconds>(now - shown.since - pausing);
            left = std::max(left, spent / shown.done * (shown.total - shown.done));
            estimated = true;
        }
    }
    estimate_->setText(running_ && estimated ? remainingTimeText(left) : QString());
    const QString prefix =
        running_ && total > 0 ? QStringLiteral("[%1%] ").arg(done * 100 / total) : QString();
    if (prefix != prefix_) {
        prefix_ = prefix;
        emit titlePrefixChanged();
    }
}

}  // namespace oc
