#include "app/desktop/main_window_layout.h"

#include <algorithm>

#include "app/desktop/main_window.h"

namespace oc {

void layoutMainWindow(MainWindow& window, int width, int height) {
    // The window's own size is left alone while the platform manages it.
    if (!(window.windowState() &
          (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))) {
        const QSize frame = window.outerSize() - window.size();
        window.resize(width - frame.width(), height - frame.height());
        // A window of the screen's size kept at its design place would reach
        // past the screen's right and bottom edges where nothing maximises it.
        const QSize outer = window.outerSize();
        window.move(std::max(0, std::min(window.x(), width - outer.width())),
                    std::max(0, std::min(window.y(), height - outer.height())));
    }
    window.fitToWidth(width);
}

}  // namespace oc
