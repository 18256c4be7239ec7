// GBK text as wide characters and back, one character at a time, the way the
// automation components see program text. The conversion is lossless for every
// character the GBK character walk recognises: a two-byte sequence that is no
// GBK character travels as a private-use code point and comes back as its bytes.
#pragma once

#include <cstddef>
#include <string>

#include "services/text_types.h"

namespace oc {

// One wchar_t per character (UTF-32 on this platform).
using WideText = std::wstring;

// Single bytes become the same code point; a lead byte and its follower become
// one character. A lone lead byte at the end is no character and is dropped.
WideText wideFromGbk(const Text& text);

// The reverse. A character GBK lacks becomes "?"; U+0000 is dropped.
Text gbkFromWide(const WideText& text);

// The byte offset of the character with the 0-based index `characterIndex` in
// `text`, counting characters as wideFromGbk does; the text's size when the
// index lies at or beyond its end.
std::size_t byteOffsetOfCharacter(const Text& text, std::size_t characterIndex);

}  // namespace oc
