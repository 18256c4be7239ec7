#include "services/article_decoding.h"

#include <uchardet.h>
#include <algorithm>
#include <memory>
#include <optional>

#include "services/boundary_text.h"
#include "services/encoding.h"

namespace oc {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Below this many bad bytes an article that the detector takes for UTF-8 is
// UTF-8, however short.
constexpr std::size_t kFewInvalidBytes = 3;
// A text in GBK has a few byte pairs that happen to be UTF-8 and many bytes
// that are not; a UTF-8 text with a stray byte has many valid characters per bad byte.
constexpr std::size_t kValidCharactersPerInvalidByte = 8;

struct Utf8Survey {
    std::size_t invalidBytes = 0;
    std::size_t firstInvalid = 0;  // 0-based
    std::size_t nonAsciiBytes = 0;
    std::size_t multiByteCharacters = 0;
};

Utf8Survey surveyUtf8(std::string_view bytes) {
    Utf8Survey survey;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t n = utf8SequenceAt(bytes, i);
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) {
            survey.nonAsciiBytes += n == 0 ? 1 : n;
        }
        if (n == 0) {
            if (survey.invalidBytes++ == 0) {
                survey.firstInvalid = i;
            }
            i += 1;
        } else {
            survey.multiByteCharacters += n > 1 ? 1 : 0;
            i += n;
        }
    }
    return survey;
}

struct DetectorDelete {
    void operator()(uchardet_t detector) const { uchardet_delete(detector); }
};

bool detectorSaysUtf8(std::string_view bytes) {
    std::unique_ptr<std::remove_pointer_t<uchardet_t>, DetectorDelete> detector(uchardet_new());
    if (!detector || uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0) {
        return false;
    }
    uchardet_data_end(detector.get());
    const char* charset = uchardet_get_charset(detector.get());
    return charset != nullptr && std::string_view(charset) == "UTF-8";
}

bool readAsUtf8(std::string_view bytes, const Utf8Survey& survey) {
    if (survey.invalidBytes == 0) {
        return true;
    }
    std::size_t tolerated = std::max(kFewInvalidBytes, survey.nonAsciiBytes / 100);
    return survey.invalidBytes <= tolerated &&
           survey.multiByteCharacters >= kValidCharactersPerInvalidByte * survey.invalidBytes &&
           detectorSaysUtf8(bytes);
}

constexpr std::string_view kCrLf = "\r\n";

// The line and paragraph separators (U+2028, U+2029) as UTF-8: line breaks
// GBK has no character for.
bool isUnicodeLineBreak(std::string_view utf8) {
    return utf8 == "\xE2\x80\xA8" || utf8 == "\xE2\x80\xA9";
}

// Counts the sequences a conversion could not carry over.
struct LossCount {
    std::size_t count = 0;
    std::size_t first = 0;  // 0-based position in the converted input

    void add(std::size_t position) {
        if (count++ == 0) {
            first = position;
        }
    }
};

std::size_t lineAt(std::string_view bytes, std::size_t position) {
    return 1 + static_cast<std::size_t>(
                   std::count(bytes.begin(), bytes.begin() + static_cast<long>(position), '\n'));
}

void addWarning(DecodedArticle& article, ArticleWarningKind kind, const LossCount& losses,
                std::string_view input, std::size_t offset) {
    if (losses.count == 0) {
        return;
    }
    std::size_t position = offset + losses.first;
    article.warnings.push_back({kind, losses.count, position + 1, lineAt(input, position)});
}

// UTF-8 with its invalid bytes dropped; characters GBK lacks become "?".
Text gbkFromUtf8Counting(std::string_view utf8, LossCount& outsideGbk) {
    return gbkFromEncoding("UTF-8", utf8, [&](std::string& out, std::size_t pos) {
        std::size_t n = utf8SequenceAt(utf8, pos);
        if (n == 0) {
            return std::size_t{1};
        }
        if (isUnicodeLineBreak(utf8.substr(pos, n))) {
            out += kCrLf;
            return n;
        }
        out += '?';
        outsideGbk.add(pos);
        return n;
    });
}

// How many bytes of a GB18030 text one bad sequence takes: a four-byte
// character, a lead byte with its trail byte, or a single byte.
std::size_t gb18030SequenceLength(std::string_view bytes, std::size_t pos) {
    auto at = [&](std::size_t i) {
        return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u;
    };
    auto isLead = [](unsigned b) { return b >= 0x81 && b <= 0xFE; };
    auto isDigit = [](unsigned b) { return b >= 0x30 && b <= 0x39; };
    if (isLead(at(pos)) && isDigit(at(pos + 1)) && isLead(at(pos + 2)) && isDigit(at(pos + 3))) {
        return 4;
    }
    if (isLead(at(pos)) && at(pos + 1) >= 0x40 && at(pos + 1) <= 0xFE && at(pos + 1) != 0x7F) {
        return 2;
    }
    return 1;
}

Text gbkFromGb18030Counting(std::string_view bytes, LossCount& outsideGbk) {
    return gbkFromEncoding("GB18030", bytes, [&](std::string& out, std::size_t pos) {
        const std::size_t n = gb18030SequenceLength(bytes, pos);
        bool ok = false;
        const ByteSet utf8 =
            convertEncoding(ByteSet(std::string(bytes.substr(pos, n))), "GB18030", "UTF-8", &ok);
        if (ok && isUnicodeLineBreak(utf8.view())) {
            out += kCrLf;
            return n;
        }
        out += '?';
        outsideGbk.add(pos);
        return n;
    });
}

// The wide encodings a byte-order mark names, the four-byte marks first (the
// UTF-32LE mark begins with the UTF-16LE one).
struct WideEncoding {
    std::string_view mark;
    const char* code;
    std::size_t unit;
};
constexpr WideEncoding kWideEncodings[] = {
    {std::string_view("\xFF\xFE\x00\x00", 4), "UTF-32LE", 4},
    {std::string_view("\x00\x00\xFE\xFF", 4), "UTF-32BE", 4},
    {"\xFF\xFE", "UTF-16LE", 2},
    {"\xFE\xFF", "UTF-16BE", 2},
};

const WideEncoding* wideEncodingOf(std::string_view bytes) {
    for (const WideEncoding& wide : kWideEncodings) {
        if (bytes.starts_with(wide.mark)) {
            return &wide;
        }
    }
    return nullptr;
}

// A text with a UTF-16 or UTF-32 byte-order mark: decoded as such, a unit
// that is no character (an unpaired surrogate, a cut last unit) dropped and
// counted like bytes that are no UTF-8. A character GBK lacks is placed at its
// byte in the file.
DecodedArticle decodeWide(std::string_view input, const WideEncoding& wide) {
    DecodedArticle article;
    const std::string_view body = input.substr(wide.mark.size());
    LossCount invalid;
    std::optional<std::string> utf8 =
        convertLeniently("UTF-8", wide.code, body, [&](std::string&, std::size_t pos) {
            invalid.add(pos);
            return std::min(wide.unit, body.size() - pos);
        });
    addWarning(article, ArticleWarningKind::InvalidUtf8, invalid, input, wide.mark.size());
    const std::string text = utf8.value_or(std::string());
    LossCount outsideGbk;
    article.text = gbkFromUtf8Counting(text, outsideGbk);
    if (outsideGbk.count > 0) {
        // The user looks for the character in the file: its position there is
        // the length of the text before it written back in the wide encoding.
        bool ok = false;
        const std::size_t before =
            convertEncoding(ByteSet(text.substr(0, outsideGbk.first)), "UTF-8", wide.code, &ok)
                .size();
        const std::size_t inBody = std::min(ok ? before : 0, body.size() - 1);
        article.warnings.push_back({ArticleWarningKind::OutsideGbk, outsideGbk.count,
                                    wide.mark.size() + inBody + 1, lineAt(text, outsideGbk.first)});
    }
    article.text = crlfLineBreaks(article.text);
    return article;
}

}  // namespace

bool hasWideByteOrderMark(std::string_view bytes) {
    return wideEncodingOf(bytes) != nullptr;
}

DecodedArticle decodeArticle(std::string_view input, std::size_t maxBytes) {
    DecodedArticle article;
    if (input.size() > maxBytes) {
        article.tooLarge = true;
        return article;
    }
    if (const WideEncoding* wide = wideEncodingOf(input)) {
        return decodeWide(input, *wide);
    }
    std::size_t offset = input.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    std::string_view body = input.substr(offset);
    Utf8Survey survey = surveyUtf8(body);
    LossCount outsideGbk;
    if (readAsUtf8(body, survey)) {
        article.text = gbkFromUtf8Counting(body, outsideGbk);
        LossCount invalid{survey.invalidBytes, survey.firstInvalid};
        addWarning(article, ArticleWarningKind::InvalidUtf8, invalid, input, offset);
    } else {
        article.text = gbkFromGb18030Counting(body, outsideGbk);
    }
    addWarning(article, ArticleWarningKind::OutsideGbk, outsideGbk, input, offset);
    article.text = crlfLineBreaks(article.text);
    return article;
}

DecodedArticle articleFromUtf8(std::string_view utf8, std::size_t maxBytes) {
    DecodedArticle article;
    if (utf8.size() > maxBytes) {
        article.tooLarge = true;
        return article;
    }
    LossCount outsideGbk;
    article.text = gbkFromUtf8Counting(utf8, outsideGbk);
    addWarning(article, ArticleWarningKind::OutsideGbk, outsideGbk, utf8, 0);
    article.text = crlfLineBreaks(article.text);
    return article;
}

Text crlfLineBreaks(std::string_view text) {
    Text out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += kCrLf;
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else if (text[i] == '\n') {
            out += kCrLf;
        } else {
            out += text[i];
        }
    }
    return out;
}

const char* articleWarningName(ArticleWarningKind kind) {
    return kind == ArticleWarningKind::InvalidUtf8 ? "invalid-utf8" : "outside-gbk";
}

Text articleWarningMessage(const ArticleWarning& warning) {
    std::string what = warning.kind == ArticleWarningKind::InvalidUtf8
                           ? "个字节不是有效的 UTF-8 字符，已删去"
                           : "个字符在 GBK 中没有，已换成“?”";
    return gbkFromUtf8("文章中有 " + std::to_string(warning.count) + " " + what + "（第一个在第 " +
                       std::to_string(warning.line) + " 行，第 " +
                       std::to_string(warning.firstByte) + " 字节）。");
}

Text articleTooLargeMessage() {
    return gbkFromUtf8("文章超过 16 MiB，没有读入。");
}

}  // namespace oc
