#include "app/desktop/grid_click.h"

#include <string_view>

#include "app/desktop/result_grid.h"
#include "check/window_port.h"

namespace oc {

namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool isWebAddress(const Text& url) {
    for (std::string_view scheme : {"http://", "https://"}) {
        if (startsWithIgnoringCase(url, scheme) && url.size() > scheme.size()) {
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
