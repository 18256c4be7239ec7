#include "app/desktop/tab_control.h"

#include <QFrame>
#include <QResizeEvent>
#include <QTabBar>
#include <algorithm>

namespace oc {

TabControl::TabControl(QWidget* parent)
    : QWidget(parent), bar_(new QTabBar(this)), pane_(new QFrame(this)) {
    pane_->setObjectName(QStringLiteral("tabPane"));
    pane_->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    connect(bar_, &QTabBar::currentChanged, this, &TabControl::showPage);
}

QWidget* TabControl::addPage(const QString& caption) {
    auto* page = new QWidget(this);
    page->setGeometry(rect());
    pages_.push_back(page);
    bar_->addTab(caption);
    bar_->raise();
    if (corner_ != nullptr) {
        corner_->raise();
    }
    showPage(bar_->currentIndex());
    return page;
}

int TabControl::count() const {
    return bar_->count();
}

QString TabControl::tabText(int index) const {
    return bar_->tabText(index);
}

int TabControl::currentIndex() const {
    return bar_->currentIndex();
}

void TabControl::setCurrentIndex(int index) {
    bar_->setCurrentIndex(index);
}

QWidget* TabControl::page(int index) const {
    return index >= 0 && index < static_cast<int>(pages_.size())
               ? pages_[static_cast<std::size_t>(index)]
               : nullptr;
}

void TabControl::setPageVisible(int index, bool visible) {
    if (index < 0 || index >= count() || isPageVisible(index) == visible) {
        return;
    }
    bar_->setTabVisible(index, visible);
    if (!visible && currentIndex() == index) {
        setCurrentIndex(0);
    }
    showPage(currentIndex());
}

bool TabControl::isPageVisible(int index) const {
    return bar_->isTabVisible(index);
}

void TabControl::setCornerWidget(QWidget* widget) {
    corner_ = widget;
    corner_->setParent(this);
    corner_->raise();
    placeStrip();
}

void TabControl::showPage(int index) {
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        pages_[i]->setVisible(static_cast<int>(i) == index);
    }
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeStrip();
    for (QWidget* page : pages_) {
        page->setGeometry(rect());
    }
}

// The tabs from the left, the corner widget at the right end of the strip,
// inside its height so it never covers the pane.
void TabControl::placeStrip() {
    const int barHeight = bar_->sizeHint().height();
    int barWidth = width() - 4;
    if (corner_ != nullptr) {
        const int cornerHeight = std::min(corner_->height(), barHeight - 2);
        corner_->setGeometry(width() - corner_->width() - 2, 0, corner_->width(), cornerHeight);
        barWidth = corner_->x() - 4;
    }
    bar_->setGeometry(2, 0, std::max(0, barWidth), barHeight);
    pane_->setGeometry(0, barHeight - 1, width(), height() - barHeight + 1);
}

}  // namespace oc
