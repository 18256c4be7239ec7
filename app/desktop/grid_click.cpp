#include "app/desktop/grid_click.h"

#include "app/desktop/result_grid.h"
#include "check/window_port.h"
#include "services/url_parts.h"

namespace oc {

void handleGridClick(ResultGrid& grid, Platform& platform) {
    const int row = grid.cursorRow();
    const int column = grid.cursorColumn();
    if (row < ResultGrid::kFixedRows || column != kUrlColumn) {
        return;
    }
    const Text url = grid.cellText(row, column);
    if (isWebAddress(url)) {
        platform.openWithShell(url);
    }
    grid.setTextColour(row, column, row, column, kColourPurple);
}

}  // namespace oc
