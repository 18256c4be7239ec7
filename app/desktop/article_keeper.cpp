#include "app/desktop/article_keeper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSaveFile>

#include "check/article_length.h"
#include "settings/settings_location.h"

namespace oc {

namespace {
// More than the longest article a check takes, in UTF-8 bytes, with room.
constexpr qint64 kLargestKeptFile = static_cast<qint64>(kMaxArticleChars) * 8;
}  // namespace

std::string keptArticlePath(const std::string& storeFile) {
    if (storeFile.empty()) {
        return std::string();
    }
    const QFileInfo store(QFile::decodeName(QByteArray::fromStdString(storeFile)));
    return QFile::encodeName(store.dir().filePath(QStringLiteral("article.txt"))).toStdString();
}

ArticleKeeper::ArticleKeeper(QPlainTextEdit& box, QString path)
    : box_(&box), path_(std::move(path)) {
    timer_.setSingleShot(true);
    timer_.setInterval(kSaveDelayMs);
    connect(&timer_, &QTimer::timeout, this, &ArticleKeeper::save);
    connect(&box, &QPlainTextEdit::textChanged, this, [this] {
        dirty_ = true;
        timer_.start();
    });
}

void ArticleKeeper::restore() {
    QFile file(path_);
    if (path_.isEmpty() || box_ == nullptr || !file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray bytes = file.read(kLargestKeptFile);
    box_->setPlainText(QString::fromUtf8(bytes));
    timer_.stop();
    dirty_ = false;
}

bool ArticleKeeper::save() {
    timer_.stop();
    if (!dirty_ || path_.isEmpty() || box_ == nullptr) {
        return true;
    }
    dirty_ = false;
    const QFileInfo where(path_);
    QSaveFile file(path_);
    const bool saved = makeUserFolders(QFile::encodeName(where.path()).toStdString()) &&
                       file.open(QIODevice::WriteOnly) &&
                       file.write(box_->toPlainText().toUtf8()) >= 0 && file.commit();
    if (!saved && problem_) {
        problem_(path_);
    }
    return saved;
}

}  // namespace oc
