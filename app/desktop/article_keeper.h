// Keeps the article box's text across restarts: a UTF-8 file, written
// atomically a moment after the last edit and when the program ends, read back
// at start.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>

class QPlainTextEdit;

namespace oc {

// "article.txt" in the folder of the results store (the data folder, or beside
// a portable program); empty when the store has no place.
std::string keptArticlePath(const std::string& storeFile);

class ArticleKeeper : public QObject {
    Q_OBJECT
  public:
    static constexpr int kSaveDelayMs = 2000;

    // Watches the box from now on; an empty path keeps nothing.
    ArticleKeeper(QPlainTextEdit& box, QString path);

    // Puts the kept article into the box; nothing when none is kept.
    void restore();
    // Writes the box's text now when it changed since the last write. False
    // when it could not be written.
    bool save();
    // Called with the file's path when a write fails.
    void setProblemHandler(std::function<void(const QString&)> handler) {
        problem_ = std::move(handler);
    }

  private:
    QPointer<QPlainTextEdit> box_;
    QString path_;
    QTimer timer_;
    bool dirty_ = false;
    std::function<void(const QString&)> problem_;
};

}  // namespace oc
