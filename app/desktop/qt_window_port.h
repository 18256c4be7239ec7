// The component operations of the main window for the check passes, carried
// to the GUI thread; the passes never hold a widget. A read (edit content,
// tick, row count, row deletion) waits for its answer. A write is queued
// without waiting and answers true: it takes effect after the earlier calls
// of its thread and before its later ones, so a pass sees its own writes in
// every read; flush() waits until they have all taken effect. After shutdown
// begins, or once the window is gone, calls change nothing and answer
// neutral values.
#pragma once

#include <QPointer>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>
#include <vector>

#include "app/desktop/gui_bridge.h"
#include "app/desktop/main_window.h"
#include "check/check_pass.h"
#include "check/window_port.h"

namespace oc {

class ResultGrid;

class QtWindowPort : public WindowPort {
  public:
    QtWindowPort(GuiBridge& bridge, MainWindow& window);

    Text editContent(std::string_view editBox) override;
    void setLabelCaption(std::string_view label, const Text& caption) override;
    void setButtonDisabled(std::string_view button, bool disabled) override;
    bool isTicked(std::string_view checkBox) override;

    int gridRowCount(std::string_view grid) override;
    bool gridDeleteRow(std::string_view grid, int row) override;
    bool gridAppendRow(std::string_view grid, const Text& title, int position) override;
    bool gridSetCell(std::string_view grid, int row, int column, const Text& value) override;
    bool gridSetTextColour(std::string_view grid, int row1, int column1, int row2, int column2,
                           std::uint32_t colour) override;
    void setLabelColour(std::string_view label, std::uint32_t colour) override;
    bool gridSetCellTip(std::string_view grid, int row, int column, const Text& tip) override;
    bool gridSetRowBackground(std::string_view grid, int row, std::uint32_t colour) override;
    void passProgress(std::string_view grid, int done, int total) override;
    void enginePaused(std::string_view grid, int secondsLeft) override;
    void flush() override;
    using WindowPort::gridSetCell;

    // The local engine's indexing for the status bar, at most every
    // kIndexReportInterval and always when the last file is done.
    void indexProgress(std::size_t done, std::size_t total);
    // The files the local engine left out, for the status bar's list.
    void skippedFiles(const std::vector<corpus::SkippedFile>& files);
    // The environment's reports of the local engine, sent to this window.
    void reportLocalEngineTo(PassEnvironment& env);

    static constexpr std::chrono::milliseconds kIndexReportInterval{50};

  private:
    // Runs `work` on the grid of that name on the GUI thread and waits for it.
    template <class Work, class Result>
    Result onGrid(std::string_view grid, Work work, Result fallback);
    // Queues `work` for the grid of that name without waiting.
    template <class Work>
    bool onGridLater(std::string_view grid, Work work);

    GuiBridge& bridge_;
    QPointer<MainWindow> window_;
    // Steady-clock milliseconds of the last indexing report shown.
    std::atomic<std::int64_t> lastIndexReport_{std::numeric_limits<std::int64_t>::min() / 2};
};

}  // namespace oc
