// The article box: a plain text editor that takes a text file dropped on it
// as the article to check, rather than the file's address as text, and shows
// the passages a check found copied or could not verify in their colours,
// with what the engines said as their tooltip. The marks are drawn over the
// text (nothing is inserted into it) and go as soon as the text changes.
#pragma once

#include <QColor>
#include <QPlainTextEdit>

class QMenu;
#include <functional>
#include <vector>

namespace oc {

// A marked passage: [begin, end) in positions of the box's text.
struct BoxMark {
    int begin = 0;
    int end = 0;
    QColor background;
    QString tip;  // rich text
};

class ArticleBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit ArticleBox(QWidget* parent = nullptr);

    // Called with the local path of a file dropped (or pasted as a file) on
    // the box; without it files are inserted as text like anything else.
    void setFileHandler(std::function<void(const QString&)> handler);

    // Adds 检测网页… to the box's context menu, calling the handler.
    void setWebPageHandler(std::function<void()> handler);
    // The context menu: the editor's own, then 检测网页… (the caller owns it).
    QMenu* buildContextMenu();

    // Replaces the marks; those outside the text are left out.
    void setMarks(std::vector<BoxMark> marks);
    void clearMarks();
    const std::vector<BoxMark>& marks() const { return marks_; }
    // The tooltip at a position of the text, empty outside every mark.
    QString tipAt(int position) const;

  protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QString droppedFile(const QMimeData* source) const;

    std::function<void(const QString&)> fileHandler_;
    std::function<void()> webPageHandler_;
    std::vector<BoxMark> marks_;
};

}  // namespace oc
