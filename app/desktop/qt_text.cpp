#include "app/desktop/qt_text.h"

#include <QFile>
#include <QTextDocument>

#include "services/article_decoding.h"
#include "services/boundary_text.h"

namespace oc {

QString qstringFromGbk(const Text& gbk) {
    return QString::fromStdString(utf8FromGbk(gbk));
}

Text gbkFromQString(const QString& text) {
    return gbkFromUtf8(text.toStdString());
}

Text articleTextOf(QString text) {
    text.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    text.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
    return crlfLineBreaks(gbkFromQString(text));
}

QString plainTip(const QString& text) {
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

QString qstringFromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString qstringFromNativePath(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string nativePathOf(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QColor colorFromColorRef(std::uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace oc
