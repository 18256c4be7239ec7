#include "app/desktop/grid_click.h"

#include <QFileInfo>

#include "app/desktop/qt_text.h"
#include "app/desktop/result_grid.h"
#include "check/window_port.h"
#include "services/boundary_text.h"
#include "services/url_parts.h"

namespace oc {

namespace {
const QString& localGridName() {
    static const QString name = qstringFromUtf8(component::kLocalGrid);
    return name;
}
}  // namespace

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
    } else if (column == kSourceColumn && grid.objectName() == localGridName()) {
        // Only the local engine's sources are files: a web source never opens one.
        openDocument(grid, row, platform);
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

bool openDocument(ResultGrid& grid, int row, Platform& platform) {
    const QString path = grid.sourceTip(row);
    if (path.isEmpty()) {
        return false;
    }
    if (!QFileInfo(path).isFile()) {
        platform.messageBox(
            gbkFromUtf8("文件已不存在，可能已被移走或删除：\n") + gbkFromQString(path), kMbOk);
        return false;
    }
    if (!platform.openLocalFile(nativePathOf(path))) {
        platform.setClipboardText(gbkFromQString(path));
        platform.messageBox(gbkFromUtf8("无法打开文件，路径已复制到剪贴板"), kMbOk);
        return false;
    }
    grid.setTextColour(row, kSourceColumn, row, kSourceColumn, kColourPurple);
    return true;
}

}  // namespace oc
