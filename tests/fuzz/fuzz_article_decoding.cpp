// The command-line checker's article decoding on arbitrary file bytes: the
// result is a text of whole characters without 0x00, well-formed UTF-8 keeps
// every character GBK has, and a GBK article reads as itself.
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/cli/article_input.h"
#include "services/boundary_text.h"
#include "tests/fuzz/fuzz_invariant.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    oc::Text article = oc::cli::decodeArticle(bytes);
    require(article.find('\0') == oc::Text::npos);
    require(oc::fuzz::wholeCharacters(article));

    std::string_view body = bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
    std::string utf8 = oc::fuzz::textOf(body);
    auto questionMarks = [](std::string_view s) { return std::count(s.begin(), s.end(), '?'); };
    if (oc::isValidUtf8(body)) {
        // Each character GBK lacks becomes one "?"; the others come back as they were.
        require(questionMarks(article) >= questionMarks(utf8));
        if (questionMarks(article) == questionMarks(utf8)) {
            require(oc::utf8FromGbk(article) == utf8);
        }
    }
    // Whatever came out reads the same once it is written back as UTF-8.
    require(oc::cli::decodeArticle(oc::utf8FromGbk(article)) == article);
    return 0;
}
