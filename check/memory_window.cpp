#include "check/memory_window.h"

#include "check/engine_tables.h"

namespace oc {

MemoryWindow::MemoryWindow() {
    for (Engine engine : kAllEngines) {
        const std::string_view name = engineIdentity(engine).grid;
        GridModel model;
        for (int c = 0; c < model.columnCount(); ++c) {
            model.setCell(0, c, resultGridHeadings()[static_cast<std::size_t>(c)]);
        }
        grids_.emplace(std::string(name), std::move(model));
    }
    ticked_[std::string(component::kBaiduCheckBox)] = true;
    ticked_[std::string(component::k360CheckBox)] = true;
}

void MemoryWindow::setObserver(std::function<void(const WindowEvent&)> observer) {
    std::lock_guard lock(mutex_);
    observer_ = std::move(observer);
}

void MemoryWindow::notify(const WindowEvent& event) {
    std::function<void(const WindowEvent&)> observer;
    {
        std::lock_guard lock(mutex_);
        observer = observer_;
    }
    if (observer) {
        observer(event);
    }
}

GridModel* MemoryWindow::findGrid(std::string_view name) {
    auto it = grids_.find(name);
    return it == grids_.end() ? nullptr : &it->second;
}

void MemoryWindow::setEditContent(std::string_view editBox, const Text& content) {
    std::lock_guard lock(mutex_);
    edits_[std::string(editBox)] = content;
}

void MemoryWindow::setTicked(std::string_view checkBox, bool ticked) {
    std::lock_guard lock(mutex_);
    ticked_[std::string(checkBox)] = ticked;
}

Text MemoryWindow::caption(std::string_view label) const {
    std::lock_guard lock(mutex_);
    auto it = captions_.find(label);
    return it == captions_.end() ? Text() : it->second;
}

std::uint32_t MemoryWindow::labelColour(std::string_view label) const {
    std::lock_guard lock(mutex_);
    auto it = labelColours_.find(label);
    return it == labelColours_.end() ? kDefaultLabelColour : it->second;
}

bool MemoryWindow::buttonDisabled(std::string_view button) const {
    std::lock_guard lock(mutex_);
    return disabled_.find(button) != disabled_.end();
}

GridModel MemoryWindow::grid(std::string_view name) const {
    std::lock_guard lock(mutex_);
    auto it = grids_.find(name);
    return it == grids_.end() ? GridModel() : it->second;
}

Text MemoryWindow::editContent(std::string_view editBox) {
    std::lock_guard lock(mutex_);
    auto it = edits_.find(editBox);
    return it == edits_.end() ? Text() : it->second;
}

void MemoryWindow::setLabelCaption(std::string_view label, const Text& caption) {
    {
        std::lock_guard lock(mutex_);
        captions_[std::string(label)] = caption;
    }
    notify({WindowEvent::Kind::Caption, std::string(label), 0, 0, caption, false});
}

void MemoryWindow::setButtonDisabled(std::string_view button, bool disabled) {
    {
        std::lock_guard lock(mutex_);
        if (disabled) {
            disabled_.emplace(button);
        } else if (auto it = disabled_.find(button); it != disabled_.end()) {
            disabled_.erase(it);
        }
    }
    notify({WindowEvent::Kind::Button, std::string(button), 0, 0, Text(), disabled});
}

bool MemoryWindow::isTicked(std::string_view checkBox) {
    std::lock_guard lock(mutex_);
    auto it = ticked_.find(checkBox);
    return it != ticked_.end() && it->second;
}

int MemoryWindow::gridRowCount(std::string_view grid) {
    std::lock_guard lock(mutex_);
    GridModel* model = findGrid(grid);
    return model ? model->rowCount() : 0;
}

bool MemoryWindow::gridDeleteRow(std::string_view grid, int row) {
    bool ok;
    {
        std::lock_guard lock(mutex_);
        GridModel* model = findGrid(grid);
        ok = model && model->deleteRow(row);
    }
    if (ok) {
        notify({WindowEvent::Kind::RowDeleted, std::string(grid), row, 0, Text(), false});
    }
    return ok;
}

bool MemoryWindow::gridAppendRow(std::string_view grid, const Text& title, int position) {
    int row = -1;
    {
        std::lock_guard lock(mutex_);
        if (GridModel* model = findGrid(grid)) {
            row = model->appendRow(title, position);
        }
    }
    if (row < 0) {
        return false;
    }
    notify({WindowEvent::Kind::RowAppended, std::string(grid), row, 0, title, false});
    return true;
}

bool MemoryWindow::gridSetCell(std::string_view grid, int row, int column, const Text& value) {
    bool ok;
    {
        std::lock_guard lock(mutex_);
        GridModel* model = findGrid(grid);
        ok = model && model->setCell(row, column, value);
    }
    if (ok) {
        notify({WindowEvent::Kind::Cell, std::string(grid), row, column, value, false});
    }
    return ok;
}

bool MemoryWindow::gridSetTextColour(std::string_view grid, int row1, int column1, int row2,
                                     int column2, std::uint32_t colour) {
    bool ok;
    {
        std::lock_guard lock(mutex_);
        GridModel* model = findGrid(grid);
        ok = model && model->setTextColour(row1, column1, row2, column2, colour);
    }
    if (ok) {
        notify({WindowEvent::Kind::Colour, std::string(grid), row1, column1,
                toText(static_cast<std::int32_t>(colour)), false});
    }
    return ok;
}

}  // namespace oc

namespace oc {

void MemoryWindow::setLabelColour(std::string_view label, std::uint32_t colour) {
    {
        std::lock_guard lock(mutex_);
        labelColours_[std::string(label)] = colour;
    }
    notify({WindowEvent::Kind::LabelColour, std::string(label), 0, 0,
            toText(static_cast<std::int32_t>(colour)), false});
}

bool MemoryWindow::gridSetCellTip(std::string_view grid, int row, int column, const Text& tip) {
    bool ok;
    {
        std::lock_guard lock(mutex_);
        GridModel* model = findGrid(grid);
        ok = model && model->setCellTip(row, column, tip);
    }
    if (ok) {
        notify({WindowEvent::Kind::CellTip, std::string(grid), row, column, tip, false});
    }
    return ok;
}

bool MemoryWindow::gridSetRowBackground(std::string_view grid, int row, std::uint32_t colour) {
    bool ok;
    {
        std::lock_guard lock(mutex_);
        GridModel* model = findGrid(grid);
        ok = model && model->setRowBackground(row, colour);
    }
    if (ok) {
        notify({WindowEvent::Kind::RowBackground, std::string(grid), row, 0,
                toText(static_cast<std::int32_t>(colour)), false});
    }
    return ok;
}

void MemoryWindow::enginePaused(std::string_view grid, int secondsLeft) {
    notify({WindowEvent::Kind::Paused, std::string(grid), secondsLeft, 0, Text(), false});
}

}  // namespace oc
