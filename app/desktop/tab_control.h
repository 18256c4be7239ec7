// A tab control whose pages cover the whole control, tab strip included, so
// that a page's children are placed relative to the control itself.
#pragma once

#include <QWidget>
#include <vector>

class QTabBar;
class QFrame;

namespace oc {

class TabControl : public QWidget {
    Q_OBJECT
  public:
    explicit TabControl(QWidget* parent = nullptr);

    // The new page is shown only while its tab is current.
    QWidget* addPage(const QString& caption);
    int count() const;
    QString tabText(int index) const;
    int currentIndex() const;
    void setCurrentIndex(int index);
    QWidget* page(int index) const;
    // A hidden page has no tab; when it is the current one, the first page
    // becomes current.
    void setPageVisible(int index, bool visible);
    bool isPageVisible(int index) const;
    // A widget at the right end of the tab strip, above every page (a button
    // that concerns all pages); the tabs end before it.
    void setCornerWidget(QWidget* widget);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void showPage(int index);
    void placeStrip();

    QTabBar* bar_;
    QFrame* pane_;
    std::vector<QWidget*> pages_;
    QWidget* corner_ = nullptr;
};

}  // namespace oc
