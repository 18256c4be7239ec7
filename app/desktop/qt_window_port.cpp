#include "app/desktop/qt_window_port.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <string>

#include "app/desktop/progress_panel.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/result_grid.h"
#include "app/desktop/widget_style.h"
#include "check/engine_tables.h"

namespace oc {

QtWindowPort::QtWindowPort(GuiBridge& bridge, MainWindow& window)
    : bridge_(bridge), window_(&window) {}

template <class Work, class Result>
Result QtWindowPort::onGrid(std::string_view grid, Work work, Result fallback) {
    return bridge_.call(
        [this, name = std::string(grid), work, fallback] {
            ResultGrid* target = window_ == nullptr ? nullptr : window_->grid(name);
            return target == nullptr ? fallback : work(*target);
        },
        fallback);
}

template <class Work>
bool QtWindowPort::onGridLater(std::string_view grid, Work work) {
    bridge_.apply([this, name = std::string(grid), work = std::move(work)] {
        if (ResultGrid* target = window_ == nullptr ? nullptr : window_->grid(name)) {
            work(*target);
        }
    });
    return !bridge_.stopping();
}

void QtWindowPort::flush() {
    bridge_.run([] {});
}

Text QtWindowPort::editContent(std::string_view editBox) {
    return bridge_.call(
        [this, name = std::string(editBox)] {
            QWidget* box = window_ == nullptr ? nullptr : window_->component(name);
            if (auto* plain = qobject_cast<QPlainTextEdit*>(box)) {
                return articleTextOf(plain->toPlainText());
            }
            if (auto* rich = qobject_cast<QTextEdit*>(box)) {
                return gbkFromQString(rich->toPlainText());
            }
            if (auto* line = qobject_cast<QLineEdit*>(box)) {
                return gbkFromQString(line->text());
            }
            return Text();
        },
        Text());
}

void QtWindowPort::setLabelCaption(std::string_view label, const Text& caption) {
    bridge_.apply([this, name = std::string(label), caption] {
        if (auto* target = window_ == nullptr ? nullptr : window_->component<QLabel>(name)) {
            target->setText(qstringFromGbk(caption));
        }
        // A pass's coverage is written as it ends: the status bar agrees with it.
        for (int engine = 0; window_ != nullptr && engine < ProgressPanel::kEngines; ++engine) {
            if (!caption.empty() && engineIdentity(kAllEngines[engine]).coverageLabel == name) {
                window_->progress().passEnded(engine, qstringFromGbk(caption));
            }
        }
    });
}

void QtWindowPort::setLabelColour(std::string_view label, std::uint32_t colour) {
    bridge_.apply([this, name = std::string(label), colour] {
        if (auto* target = window_ == nullptr ? nullptr : window_->component<QLabel>(name)) {
            setLabelTextColour(*target, colour == kDefaultLabelColour
                                            ? std::nullopt
                                            : std::optional<QColor>(colorFromColorRef(colour)));
        }
    });
}

void QtWindowPort::setButtonDisabled(std::string_view button, bool disabled) {
    bridge_.apply([this, name = std::string(button), disabled] {
        // Whether there is something to recheck; the window adds whether the
        // results still belong to the article in the box.
        if (window_ != nullptr && name == component::kRecheckButton) {
            window_->setRecheckWanted(!disabled);
        } else if (QWidget* target = window_ == nullptr ? nullptr : window_->component(name)) {
            target->setEnabled(!disabled);
        }
    });
}

bool QtWindowPort::isTicked(std::string_view checkBox) {
    return bridge_.call(
        [this, name = std::string(checkBox)] {
            auto* box = window_ == nullptr ? nullptr : window_->component<QAbstractButton>(name);
            return box != nullptr && box->isChecked();
        },
        false);
}

int QtWindowPort::gridRowCount(std::string_view grid) {
    return onGrid(
        grid, [](ResultGrid& target) { return target.rowCount(); }, 0);
}

bool QtWindowPort::gridDeleteRow(std::string_view grid, int row) {
    return onGrid(
        grid, [row](ResultGrid& target) { return target.deleteRow(row); }, false);
}

bool QtWindowPort::gridAppendRow(std::string_view grid, const Text& title, int position) {
    return onGridLater(
        grid, [title, position](ResultGrid& target) { target.appendRow(title, position); });
}

bool QtWindowPort::gridSetCell(std::string_view grid, int row, int column, const Text& value) {
    return onGridLater(
        grid, [row, column, value](ResultGrid& target) { target.setCell(row, column, value); });
}

bool QtWindowPort::gridSetTextColour(std::string_view grid, int row1, int column1, int row2,
                                     int column2, std::uint32_t colour) {
    return onGridLater(grid, [=](ResultGrid& target) {
        target.setTextColour(row1, column1, row2, column2, colour);
    });
}

bool QtWindowPort::gridSetCellTip(std::string_view grid, int row, int column, const Text& tip) {
    return onGridLater(
        grid, [row, column, tip](ResultGrid& target) { target.setCellTip(row, column, tip); });
}

bool QtWindowPort::gridSetRowBackground(std::string_view grid, int row, std::uint32_t colour) {
    return onGridLater(grid,
                       [row, colour](ResultGrid& target) { target.setRowBackground(row, colour); });
}

void QtWindowPort::passProgress(std::string_view grid, int done, int total) {
    // The status bar counts its engines in the order of kAllEngines.
    const std::optional<Engine> shown = engineOfGrid(grid);
    const int engine = shown ? static_cast<int>(*shown) : -1;
    bridge_.apply([this, engine, done, total] {
        if (window_ != nullptr) {
            window_->progress().update(engine, done, total);
        }
    });
}

void QtWindowPort::enginePaused(std::string_view grid, int secondsLeft) {
    const std::optional<Engine> shown = engineOfGrid(grid);
    const int engine = shown ? static_cast<int>(*shown) : -1;
    bridge_.apply([this, engine, secondsLeft] {
        if (window_ != nullptr) {
            window_->progress().paused(engine, secondsLeft);
        }
    });
}

void QtWindowPort::indexProgress(std::size_t done, std::size_t total) {
    const std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
    if (done < total && now - lastIndexReport_.load() < kIndexReportInterval.count()) {
        return;
    }
    lastIndexReport_.store(now);
    bridge_.apply([this, done, total] {
        if (window_ != nullptr) {
            window_->progress().indexing(done, total);
        }
    });
}

void QtWindowPort::skippedFiles(const std::vector<corpus::SkippedFile>& files) {
    std::vector<SkippedFileRow> rows;
    rows.reserve(files.size());
    for (const corpus::SkippedFile& file : files) {
        rows.push_back({qstringFromNativePath(file.path), qstringFromGbk(file.reason)});
    }
    bridge_.apply([this, rows = std::move(rows)]() mutable {
        if (window_ != nullptr) {
            window_->progress().setSkippedFiles(std::move(rows));
        }
    });
}

void QtWindowPort::reportLocalEngineTo(PassEnvironment& env) {
    env.indexProgress = [this](std::size_t done, std::size_t total) { indexProgress(done, total); };
    env.skippedFiles = [this](const std::vector<corpus::SkippedFile>& files) {
        skippedFiles(files);
    };
}

}  // namespace oc
