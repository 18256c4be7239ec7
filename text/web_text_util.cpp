#include "text/web_text_util.h"

#include "services/conversions.h"
#include "services/date_time.h"
#include "services/files.h"
#include "services/text_ops.h"
#include "text/automation_object.h"
#include "text/regex.h"

namespace oc {
namespace {

const Text kOpenFailedMessage =
    "\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA3\xAC\xBF\xC9\xC4\xDC\xD4\xAD\xD2\xF2"
    "\xCA\xC7\xCE\xC4\xBC\xFE\xB2\xBB\xB4\xE6\xD4\xDA";  // 打开文件失败，可能原因是文件不存在
const Text kOpenFailedTitle = "\xCC\xE1\xCA\xBE";  // 提示
const Text kSeparatorCharacter = "\xA1\xF6";       // ■
constexpr int kSeparatorLength = 39;

constexpr int kReadOnly = 1;
constexpr int kCreateTruncateWrite = 4;
constexpr int kWriteCreateKeep = 5;
constexpr int kExclusive = 4;

void reportOpenFailure(Platform& platform) {
    platform.messageBox(kOpenFailedMessage, kMbOk, kOpenFailedTitle);
}

}  // namespace

const Text kDefaultIpLookupBase = "http://www.ip138.com";

WebTextUtil::WebTextUtil(Text ipLookupBase) : ipLookupBase_(std::move(ipLookupBase)) {}

void WebTextUtil::appendLog(const Text& fileName, const Text& line) const {
    FileHandle file =
        openFile(programDirectory() + kPathSeparator + fileName, kWriteCreateKeep, kExclusive);
    if (file == 0) {
        return;
    }
    Text separator;
    for (int i = 0; i < kSeparatorLength; ++i) {
        separator += kSeparatorCharacter;
    }
    if (seekToEnd(file)) {
        writeLines(file, {line, separator});
    }
    closeFile(file);
}

Text WebTextUtil::textBefore(const Text& text, const Text& marker) const {
    int found = findText(text, marker);
    return found < 0 ? Text() : leftText(text, found - 1);
}

Text WebTextUtil::textAfter(const Text& text, const Text& marker) const {
    int found = findText(text, marker);
    if (found < 0) {
        return {};
    }
    return rightText(text, textLength(text) - (found - 1) - textLength(marker));
}

Text WebTextUtil::textBetween(const Text& text, const Text& startMarker,
                              const Text& endMarker) const {
    int start = findText(text, startMarker);
    if (start < 0) {
        return {};
    }
    int from = start + textLength(startMarker);  // the end marker comes after the start marker
    int end = findText(text, endMarker, from);
    return end < 0 ? Text() : midText(text, from, end - from);
}

void WebTextUtil::loadLines(const Text& path, TextList& lines, Platform& platform) const {
    FileHandle file = openFile(path, kReadOnly, kExclusive);
    if (file == 0) {
        reportOpenFailure(platform);
        return;
    }
    seekToStart(file);
    // A 0x00 or 0x1A byte ends the reading: readLine never moves past one.
    while (!atEndOfFile(file, true)) {
        Text line = readLine(file);
        if (!line.empty()) {
            lines.push_back(std::move(line));
        }
    }
    closeFile(file);
}

void WebTextUtil::saveLines(const TextList& lines, const Text& path, Platform& platform) const {
    FileHandle file = openFile(path, kCreateTruncateWrite, kExclusive);
    if (file == 0) {
        reportOpenFailure(platform);
        return;
    }
    writeLines(file, std::vector<LineValue>(lines.begin(), lines.end()));
    closeFile(file);
}

Text WebTextUtil::trim(const Text& text) const {
    Regex regex;
    regex.compile("\\S[\\s\\S]*\\S|\\S", true);
    return regex.search(text, 1).matchText(text);
}

Text WebTextUtil::decodeBytes(const ByteSet& bytes, const Text& charset) const {
    AutomationObject stream;
    stream.createObject("adodb.stream");
    stream.setProperty("Type", 1);
    stream.setProperty("Mode", 3);
    stream.callMethod("Open");
    Variant data;
    data.setBytes(bytes);
    stream.callMethod("Write", {data});
    stream.setProperty("Position", 0);
    stream.setProperty("Type", 2);
    // An unknown charset would leave the stream reading UTF-16: nothing to decode then.
    bool charsetTaken = stream.setProperty("Charset", charset);
    Text text = charsetTaken ? stream.callText("ReadText") : Text();
    stream.callMethod("Close");
    return text;
}

Text WebTextUtil::nowText() const {
    return nowText(currentDateTime());
}

Text WebTextUtil::nowText(DateTime now) const {
    CivilDateTime civil = civilFromDateTime(now);
    return toText(civil.year) + "-" + toText(civil.month) + "-" + toText(civil.day) + " " +
           toText(civil.hour) + ":" + toText(civil.minute);
}

WebTextUtil& webTextUtil() {
    static WebTextUtil instance;
    return instance;
}

}  // namespace oc
