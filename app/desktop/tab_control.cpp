#include "app/desktop/tab_control.h"

#include <QFrame>
#include <QResizeEvent>
#include <QTabBar>

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

void TabControl::showPage(int index) {
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        pages_[i]->setVisible(static_cast<int>(i) == index);
    }
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int barHeight = bar_->sizeHint().height();
    bar_->setGeometry(2, 0, width() - 4, barHeight);
    pane_->setGeometry(0, barHeight - 1, width(), height() - barHeight + 1);
    for (QWidget* page : pages_) {
        page->setGeometry(rect());
    }
}

}  // namespace oc
