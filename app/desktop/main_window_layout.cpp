#include "app/desktop/main_window_layout.h"

#include "app/desktop/main_window.h"

namespace oc {

void layoutMainWindow(MainWindow& window, int width, int height) {
    // The window's own size is left alone while the platform manages it.
    if (!(window.windowState() &
          (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))) {
        const QSize frame = window.outerSize() - window.size();
        window.resize(width - frame.width(), height - frame.height());
    }
    window.fitToWidth(width);
}

}  // namespace oc
