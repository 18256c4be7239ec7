// GBK texts at the edge of the Qt widgets, and COLORREF colours as QColor.
#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "services/text_types.h"

namespace oc {

QString qstringFromGbk(const Text& gbk);
// Characters GBK lacks become "?".
Text gbkFromQString(const QString& text);
// The text of the article box as the check reads it: GBK, every line break
// (LF, CR, CR LF, U+2028, U+2029) as CR LF.
Text articleTextOf(QString text);
// A tooltip that shows `text` as it is: written as rich text that holds it
// escaped, since a tooltip takes anything that looks like markup for markup.
QString plainTip(const QString& text);
// A component name of the window (UTF-8) as an object name.
QString qstringFromUtf8(std::string_view utf8);
// A file path in native bytes as the window shows it, and back.
QString qstringFromNativePath(const std::string& path);
std::string nativePathOf(const QString& path);

// COLORREF is 0x00BBGGRR.
QColor colorFromColorRef(std::uint32_t colour);

}  // namespace oc
