#include "app/desktop/grid_click.h"

#include <string_view>

#include "app/desktop/result_grid.h"
#include "check/window_port.h"
#include "text/ascii_case.h"

namespace oc {

bool isWebAddress(const Text& url) {
    for (std::string_view scheme : {"http://", "https://"}) {
        if (url.size() > scheme.size() &&
            equalsIgnoringAsciiCase(std::string_view(url).substr(0, scheme.size()), scheme)) {
            return true;
        }
    }
    return false;
}

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
