#include "app/desktop/grid_click.h"

#include "app/desktop/result_grid.h"
#include "check/window_port.h"
#include "services/boundary_text.h"
#include "services/url_parts.h"

namespace oc {

void handleGridClick(ResultGrid& grid, Platform& platform) {
    const int row = grid.cursorRow();
    const int column = grid.cursorColumn();
    if (row < ResultGrid::kFixedRows) {
        return;
    }
    // The 搜索 cell holds its address; the 来源 cell shows the title and keeps
    // the address as its tooltip.
    if (column == kUrlColumn) {
        openAddress(grid, row, column, grid.cellText(row, column), platform);
    } else if (column == kSourceColumn) {
        openAddress(grid, row, column, grid.sourceAddress(row), platform);
    }
}

bool openAddress(ResultGrid& grid, int row, int column, const Text& address, Platform& platform) {
    if (!isWebAddress(address)) {
        return false;
    }
    if (!platform.openWithShell(address)) {
        platform.setClipboardText(address);
        platform.messageBox(gbkFromUtf8("无法打开浏览器，网址已复制到剪贴板"), kMbOk);
        return false;
    }
    grid.setTextColour(row, column, row, column, kColourPurple);
    return true;
}

}  // namespace oc
