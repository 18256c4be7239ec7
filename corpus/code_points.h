// Text as Unicode code points, and the keys under which a query and a document
// are compared, as search engines fold characters.
#pragma once

#include <string>
#include <string_view>

namespace oc::corpus {

using CodePoints = std::u32string;

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes UTF-8; every byte that does not start a well-formed sequence
// (overlong forms and surrogates included) becomes U+FFFD.
CodePoints decodeUtf8(std::string_view utf8);
std::string encodeUtf8(std::u32string_view text);

// The key a character is compared under: full-width forms of ASCII become
// ASCII and the ideographic space a space, as engines fold them. White space,
// control characters and the HTML special characters < > & " ' get the key 0,
// which matches nothing, so no highlighted run crosses or holds them.
char32_t matchKey(char32_t c);
CodePoints matchKeys(std::u32string_view text);

// Punctuation and symbols (by key): ASCII punctuation, the general and CJK
// punctuation blocks, the middle dot. Engines do not begin or end a
// highlighted run with them.
bool isPunctuationKey(char32_t key);

}  // namespace oc::corpus
