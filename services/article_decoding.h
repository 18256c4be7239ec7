// Turning the bytes of an article (a file, standard input, the clipboard) into
// GBK text, with what was lost on the way reported instead of dropped silently.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "services/text_types.h"

namespace oc {

// Articles above this size are not read: no article is that long, and a
// device or a runaway pipe must not fill the memory.
inline constexpr std::size_t kMaxArticleBytes = 16u << 20;

enum class ArticleWarningKind {
    InvalidUtf8,  // bytes of a UTF-8 article that are no UTF-8; dropped
    OutsideGbk,   // characters GBK lacks, or bytes of a GBK article that are no character; "?"
};

struct ArticleWarning {
    ArticleWarningKind kind = ArticleWarningKind::InvalidUtf8;
    std::size_t count = 0;
    std::size_t firstByte = 0;  // 1-based byte position of the first one in the input
    std::size_t line = 0;       // 1-based line of the first one
};

struct DecodedArticle {
    Text text;
    std::vector<ArticleWarning> warnings;  // at most one per kind
    bool tooLarge = false;                 // above kMaxArticleBytes: nothing decoded
};

// An article of unknown encoding. A UTF-16 or UTF-32 byte-order mark (either
// byte order) makes it that encoding. Valid UTF-8 (a leading BOM dropped) is
// UTF-8. Otherwise it is UTF-8 with its invalid bytes dropped when the
// detector takes it for UTF-8 and the invalid bytes are few (at most 3, or 1%
// of the non-ASCII bytes, and far fewer than the valid characters); else it is
// GB18030. Characters GBK lacks become "?". Above `maxBytes`, nothing is decoded.
DecodedArticle decodeArticle(std::string_view bytes, std::size_t maxBytes = kMaxArticleBytes);

// The bytes begin with a UTF-16 or UTF-32 byte-order mark: zero bytes are
// then part of the characters, not a sign of a binary file.
bool hasWideByteOrderMark(std::string_view bytes);

// Text known to be UTF-8 (the clipboard's): characters GBK lacks become "?".
DecodedArticle articleFromUtf8(std::string_view utf8, std::size_t maxBytes = kMaxArticleBytes);

// Every line break of a GBK text (LF, CR or CR LF) as CR LF, the way the
// article box holds it, so the window and the command line count and cut the
// same article alike. The decoders above return their text so, with the line
// and paragraph separators (U+2028, U+2029) as CR LF too.
Text crlfLineBreaks(std::string_view text);

// "invalid-utf8" or "outside-gbk".
const char* articleWarningName(ArticleWarningKind kind);

// The window's messages, GBK: one sentence per warning, and the size refusal.
Text articleWarningMessage(const ArticleWarning& warning);
Text articleTooLargeMessage();

}  // namespace oc
