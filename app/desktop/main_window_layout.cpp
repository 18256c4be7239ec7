#include "app/desktop/main_window_layout.h"

#include <QWidget>

#include "app/desktop/main_window.h"
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

}  // namespace

void layoutMainWindow(MainWindow& window, int W, int H) {
    QWidget* article = window.component("分组框_文章");
    QWidget* articleBox = window.component(component::kArticleBox);
    QWidget* engines = window.component("分组框_搜索引擎");
    QWidget* tabs = window.component("选择夹1");
    QWidget* baiduGrid = window.component(component::kBaiduGrid);
    QWidget* grid360 = window.component(component::k360Grid);
    QWidget* panel = window.component("分组框_广告");
    QWidget* guide = window.component("超文本浏览框1");

    setWindowWidth(window, W);
    setWidth(article, W - 296);
    setWidth(articleBox, article->width() - 12);
    setWidth(engines, article->width());
    setWidth(tabs, article->width() - 12);
    setWidth(baiduGrid, article->width() - 24);
    setWidth(grid360, article->width() - 24);
    setLeft(panel, engines->width());
    setWidth(panel, W - engines->width() - 10);
    setWidth(guide, W - engines->width() - 20);
    setHeight(panel, H - 45);
    setHeight(engines, H - 350);
    setHeight(guide, panel->height() - 24);
    setHeight(tabs, engines->height() - 24);
    setHeight(baiduGrid, tabs->height() - 48);
    setHeight(grid360, tabs->height() - 48);
}

}  // namespace oc
