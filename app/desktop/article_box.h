// The article box: a plain text editor that takes a text file dropped on it
// as the article to check, rather than the file's address as text.
#pragma once

#include <QPlainTextEdit>
#include <functional>

namespace oc {

class ArticleBox : public QPlainTextEdit {
  public:
    explicit ArticleBox(QWidget* parent = nullptr);

    // Called with the local path of a file dropped (or pasted as a file) on
    // the box; without it files are inserted as text like anything else.
    void setFileHandler(std::function<void(const QString&)> handler);

  protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

  private:
    QString droppedFile(const QMimeData* source) const;

    std::function<void(const QString&)> fileHandler_;
};

}  // namespace oc
