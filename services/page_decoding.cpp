#include "services/page_decoding.h"

#include <algorithm>
#include <array>
#include <optional>

#include "services/ascii_case.h"
#include "services/boundary_text.h"
#include "services/encoding.h"
#include "services/html_document.h"

namespace oc {
namespace {

constexpr std::string_view kBlanks = " \t\r\n\f\"'";

std::string_view trimmed(std::string_view text) {
    std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Drops the zero bytes of the text appended from `start` on: a page goes on
// after one, and what follows it is read.
void dropZeros(std::string& out, std::size_t start) {
    auto from = out.begin() + static_cast<std::ptrdiff_t>(start);
    if (std::find(from, out.end(), '\0') != out.end()) {
        out.erase(std::remove(from, out.end(), '\0'), out.end());
    }
}

// Appends the conversion to UTF-8 without its zero bytes.
bool appendUtf8WithoutZeros(std::string_view body, const std::string& fromCode, std::string& out) {
    const std::size_t start = out.size();
    if (!appendConverted(body, fromCode, "UTF-8", out)) {
        return false;
    }
    dropZeros(out, start);
    return true;
}

}  // namespace

std::string pageCharsetCode(std::string_view declared) {
    static constexpr std::array<std::string_view, 8> kGb = {
        "gbk", "gb2312", "gb18030", "x-gbk", "cp936", "windows-936", "gb_2312-80", "csgb2312"};
    static constexpr std::array<std::string_view, 4> kBig5 = {"big5", "big5-hkscs", "x-x-big5",
                                                              "cn-big5"};
    const std::string name = lowerAscii(trimmed(declared));
    if (std::find(kGb.begin(), kGb.end(), name) != kGb.end()) {
        return "GB18030";
    }
    if (std::find(kBig5.begin(), kBig5.end(), name) != kBig5.end()) {
        return "BIG5-HKSCS";
    }
    return {};
}

std::string charsetParameter(std::string_view contentType) {
    const std::string lower = lowerAscii(contentType);
    for (std::size_t at = lower.find("charset"); at != std::string::npos;
         at = lower.find("charset", at + 1)) {
        // A parameter name: after ";" or at the start, blanks aside.
        if (at > 0) {
            std::size_t before = lower.find_last_not_of(" \t", at - 1);
            if (before != std::string::npos && lower[before] != ';') {
                continue;
            }
        }
        std::size_t equals = lower.find_first_not_of(" \t", at + 7);
        if (equals == std::string::npos || lower[equals] != '=') {
            continue;
        }
        std::string_view value = contentType.substr(equals + 1);
        value = value.substr(0, std::min(value.find(';'), value.size()));
        return std::string(trimmed(value));
    }
    return {};
}

std::string metaCharset(std::string_view page) {
    // Each byte as a character of its own, so the markup reads alike in any
    // ASCII-based charset and nothing in the head can fail to decode.
    std::string head;
    if (!appendConverted(page.substr(0, kMetaScanBytes), "ISO-8859-1", "UTF-8", head) ||
        head.empty()) {
        return {};
    }
    HtmlDocument document(head);
    if (!document.ok()) {
        return {};
    }
    for (HtmlElement meta : document.select("//meta")) {
        std::string charset(trimmed(document.attribute(meta, "charset")));
        if (charset.empty() &&
            lowerAscii(trimmed(document.attribute(meta, "http-equiv"))) == "content-type") {
            charset = charsetParameter(document.attribute(meta, "content"));
        }
        if (!charset.empty()) {
            return charset;
        }
    }
    return {};
}

bool appendPageUtf8(std::string_view body, std::string_view contentType, std::string& out) {
    if (isValidUtf8(body)) {
        const std::size_t start = out.size();
        out.append(body);
        dropZeros(out, start);
        return true;
    }
    const std::string fromHeader = pageCharsetCode(charsetParameter(contentType));
    if (!fromHeader.empty() && appendUtf8WithoutZeros(body, fromHeader, out)) {
        return true;
    }
    const std::string fromMeta = pageCharsetCode(metaCharset(body));
    return !fromMeta.empty() && fromMeta != fromHeader &&
           appendUtf8WithoutZeros(body, fromMeta, out);
}

bool readPageUtf8(std::string& body, std::string_view contentType, std::string& out) {
    out.clear();
    if (!isValidUtf8(body)) {
        return appendPageUtf8(body, contentType, out);
    }
    std::swap(out, body);
    dropZeros(out, 0);
    return true;
}

bool appendGb18030(std::string_view utf8, std::string& out) {
    if (appendConverted(utf8, "UTF-8", "GB18030", out)) {
        return true;
    }
    // A character GB18030 has no form for (the icon-font code points of the
    // private use area that GB18030-2022 no longer maps) becomes "?"; so does
    // a byte that is not UTF-8.
    std::optional<std::string> converted =
        convertLeniently("GB18030", "UTF-8", utf8, [&](std::string& text, std::size_t pos) {
            text += '?';
            return std::max<std::size_t>(utf8SequenceAt(utf8, pos), 1);
        });
    if (converted) {
        out += *converted;
    }
    return false;
}

}  // namespace oc
