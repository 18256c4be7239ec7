#include "app/desktop/main_window_layout.h"

#include <QWidget>
#include <algorithm>

#include "app/desktop/main_window.h"
#include "app/desktop/tab_control.h"
#include "check/window_port.h"

namespace oc {

namespace {

void setWidth(QWidget* widget, int width) {
    widget->resize(width, widget->height());
}
void setHeight(QWidget* widget, int height) {
    widget->resize(widget->width(), height);
}
void setLeft(QWidget* widget, int left) {
    widget->move(left, widget->y());
}

// The window's own width; left alone while the platform manages the size.
void setWindowWidth(MainWindow& window, int width) {
    if (window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) {
        return;
    }
    const int frame = window.outerSize().width() - window.width();
    if (window.outerSize().width() != width) {
        window.resize(width - frame, window.height());
    }
}

// The value labels, their coverage and the verdict: beside one another as
// designed in a wide window; in a narrow one the 360 values go under the
// Baidu ones, so the article column can end at 630 pixels.
void placeValues(MainWindow& window, bool wide) {
    struct Place {
        std::string_view name;
        QRect wide;
        QRect narrow;
    };
    const Place places[] = {
        {"标签5", {410, 256, 62, 32}, {410, 256, 62, 32}},
        {component::kBaiduValueLabel, {478, 256, 58, 32}, {478, 256, 58, 32}},
        {component::kBaiduCoverageLabel, {410, 289, 126, 15}, {540, 264, 90, 16}},
        {"标签3", {544, 264, 64, 24}, {410, 294, 64, 24}},
        {component::k360ValueLabel, {608, 256, 64, 32}, {478, 290, 58, 30}},
        {component::k360CoverageLabel, {544, 289, 128, 15}, {540, 289, 90, 15}},
        {component::k360VerdictLabel, {544, 304, 146, 16}, {540, 304, 90, 16}},
    };
    for (const Place& place : places) {
        if (QWidget* widget = window.component(place.name)) {
            widget->setGeometry(wide ? place.wide : place.narrow);
        }
    }
}

}  // namespace

void layoutMainWindow(MainWindow& window, int W, int H) {
    QWidget* link = window.component("标签1");
    QWidget* article = window.component("分组框_文章");
    QWidget* articleBox = window.component(component::kArticleBox);
    QWidget* engines = window.component("分组框_搜索引擎");
    auto* tabs = qobject_cast<TabControl*>(window.component("选择夹1"));
    QWidget* baiduGrid = window.component(component::kBaiduGrid);
    QWidget* grid360 = window.component(component::k360Grid);
    QWidget* localGrid = window.component(component::kLocalGrid);
    QWidget* localBar = window.component(MainWindow::kLocalEngineBar);
    QWidget* panel = window.component("分组框_广告");
    QWidget* guide = window.component("超文本浏览框1");
    QWidget* guidePage = window.component("超文本浏览框_说明页");
    QWidget* status = window.component("状态栏");

    setWindowWidth(window, W);
    // Too narrow for the guide panel beside the article: the guide becomes a
    // page of the result tabs and the article column takes the width.
    const bool wide = W >= MainWindow::kWideLayoutWidth;
    const int column = wide ? W - 296 : W - 10;
    panel->setVisible(wide);
    tabs->setPageVisible(MainWindow::kGuidePage, !wide);
    link->move(wide ? 888 : column - link->width(), 0);
    if (QWidget* history = window.component(MainWindow::kHistoryLink)) {
        history->move(link->x() - history->width() - 8, 0);
        if (QWidget* batch = window.component(MainWindow::kBatchLink)) {
            batch->move(history->x() - batch->width() - 8, 0);
        }
    }
    placeValues(window, wide);

    setWidth(article, column);
    setWidth(articleBox, article->width() - 12);
    setWidth(engines, article->width());
    setWidth(tabs, article->width() - 12);
    setWidth(baiduGrid, article->width() - 24);
    setWidth(grid360, article->width() - 24);
    setWidth(localGrid, article->width() - 24);
    setWidth(localBar, article->width() - 24);
    setWidth(guidePage, article->width() - 24);
    setLeft(panel, engines->width());
    setWidth(panel, W - engines->width() - 10);
    setWidth(guide, W - engines->width() - 20);

    // The status bar takes the last line of the window; the result group and
    // the panel end above it.
    const int frame = window.outerSize().height() - window.height();
    const int bottom = H - frame;
    const int statusTop = bottom - MainWindow::kStatusBarHeight;
    status->setGeometry(0, statusTop, W - 10, MainWindow::kStatusBarHeight);
    setHeight(panel, std::min(H - 45, statusTop - 2 - panel->y()));
    setHeight(engines, std::min(H - 350, statusTop - 2 - engines->y()));
    setHeight(guide, panel->height() - 24);
    setHeight(tabs, engines->height() - 24);
    setHeight(baiduGrid, tabs->height() - 48);
    setHeight(grid360, tabs->height() - 48);
    setHeight(localGrid, tabs->height() - 48 - MainWindow::kLocalGridDrop);
    setHeight(guidePage, tabs->height() - 48);
}

}  // namespace oc
