// Article decoding on arbitrary bytes: the result is a text of whole
// characters without 0x00, well-formed UTF-8 keeps every character GBK has,
// every loss is counted once at a position inside the input, line breaks come
// out as CR LF, and whatever comes out reads the same once it is written back
// as UTF-8.
#include <algorithm>
#include <cstdint>
#include <string>

#include "services/article_decoding.h"
#include "services/boundary_text.h"
#include "tests/fuzz/fuzz_invariant.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    oc::DecodedArticle decoded = oc::decodeArticle(bytes);
    const oc::Text& article = decoded.text;
    require(!decoded.tooLarge);
    require(article.find('\0') == oc::Text::npos);
    require(oc::fuzz::wholeCharacters(article));

    auto questionMarks = [](std::string_view s) {
        return static_cast<std::size_t>(std::count(s.begin(), s.end(), '?'));
    };
    std::size_t outsideGbk = 0;
    for (const oc::ArticleWarning& warning : decoded.warnings) {
        require(warning.count > 0);
        require(warning.firstByte >= 1 && warning.firstByte <= bytes.size());
        require(warning.line >= 1 && warning.line <= bytes.size());
        if (warning.kind == oc::ArticleWarningKind::OutsideGbk) {
            outsideGbk = warning.count;
        }
    }
    // Every "?" of the text is one of the input's or one counted loss (in a
    // text of 8-bit units: a UTF-16 or UTF-32 byte order mark changes the unit).
    const bool wideUnits = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
                           bytes.starts_with(std::string_view("\x00\x00\xFE\xFF", 4));
    if (!wideUnits) {
        require(questionMarks(article) == questionMarks(bytes) + outsideGbk);
    }

    std::string_view body = bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
    if (oc::isValidUtf8(body)) {
        require(decoded.warnings.size() == (outsideGbk > 0 ? 1u : 0u));
        if (outsideGbk == 0) {
            // Line breaks, U+2028 and U+2029 included, come out as CR LF.
            std::string expected;
            for (std::size_t i = 0; i < body.size(); ++i) {
                bool separator = body.substr(i, 2) == "\xE2\x80" && i + 2 < body.size() &&
                                 (body[i + 2] == '\xA8' || body[i + 2] == '\xA9');
                expected += separator ? std::string_view("\r\n") : body.substr(i, 1);
                i += separator ? 2 : 0;
            }
            require(oc::utf8FromGbk(article) == oc::crlfLineBreaks(oc::fuzz::textOf(expected)));
        }
    }
    require(oc::decodeArticle(oc::utf8FromGbk(article)).text == article);

    oc::DecodedArticle pasted = oc::articleFromUtf8(bytes);
    require(oc::fuzz::wholeCharacters(pasted.text));
    require(pasted.text.find('\0') == oc::Text::npos);
    return 0;
}
