// A window held in memory: the components the checking logic uses, with the
// grid rules of a real window. The command-line checker shows its passes
// through it, and the tests watch them through it. Safe for several threads.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "check/grid_model.h"
#include "check/window_port.h"

namespace oc {

// One change a pass made, as an observer sees it.
struct WindowEvent {
    enum class Kind {
        Caption,
        Button,
        RowAppended,
        RowDeleted,
        Cell,
        Colour,
        LabelColour,
        CellTip,
        RowBackground,
        Paused  // the grid's engine waits out a block: `row` seconds left, 0 at the end
    };
    Kind kind;
    std::string component;  // UTF-8 component name
    int row = 0;
    int column = 0;
    Text text;  // caption, cell text or row title
    bool flag = false;
};

class MemoryWindow : public WindowPort {
  public:
    // The three result grids with their heading rows; the two web engines ticked.
    MemoryWindow();

    // The observer runs on the calling thread, after the change, outside the lock.
    void setObserver(std::function<void(const WindowEvent&)> observer);

    void setEditContent(std::string_view editBox, const Text& content);
    void setTicked(std::string_view checkBox, bool ticked);

    Text caption(std::string_view label) const;
    // kDefaultLabelColour unless set.
    std::uint32_t labelColour(std::string_view label) const;
    bool buttonDisabled(std::string_view button) const;
    GridModel grid(std::string_view name) const;  // a copy

    Text editContent(std::string_view editBox) override;
    void setLabelCaption(std::string_view label, const Text& caption) override;
    void setButtonDisabled(std::string_view button, bool disabled) override;
    bool isTicked(std::string_view checkBox) override;
    int gridRowCount(std::string_view grid) override;
    bool gridDeleteRow(std::string_view grid, int row) override;
    bool gridAppendRow(std::string_view grid, const Text& title, int position) override;
    bool gridSetCell(std::string_view grid, int row, int column, const Text& value) override;
    void enginePaused(std::string_view grid, int secondsLeft) override;
    bool gridSetTextColour(std::string_view grid, int row1, int column1, int row2, int column2,
                           std::uint32_t colour) override;
    void setLabelColour(std::string_view label, std::uint32_t colour) override;
    bool gridSetCellTip(std::string_view grid, int row, int column, const Text& tip) override;
    bool gridSetRowBackground(std::string_view grid, int row, std::uint32_t colour) override;
    using WindowPort::gridSetCell;

  private:
    void notify(const WindowEvent& event);
    GridModel* findGrid(std::string_view name);

    mutable std::mutex mutex_;
    std::map<std::string, Text, std::less<>> edits_;
    std::map<std::string, Text, std::less<>> captions_;
    std::map<std::string, std::uint32_t, std::less<>> labelColours_;
    std::set<std::string, std::less<>> disabled_;
    std::map<std::string, bool, std::less<>> ticked_;
    std::map<std::string, GridModel, std::less<>> grids_;
    std::function<void(const WindowEvent&)> observer_;
};

}  // namespace oc
