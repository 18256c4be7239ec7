// Conversions at the edges of the system, where GBK text meets UTF-8 (the
// window, the terminal, file contents and the tests).
#pragma once

#include <string>
#include <string_view>

#include "services/text_types.h"

namespace oc {

// GBK text as UTF-8 for display. Decoded as GB18030 (a superset), so page text
// with four-byte sequences still displays; an undecodable byte shows as U+FFFD.
std::string utf8FromGbk(std::string_view gbk);

// UTF-8 as GBK text; every character GBK lacks, and every invalid byte,
// becomes "?". 0x00 bytes are dropped, since a text never holds one.
Text gbkFromUtf8(std::string_view utf8);

// True when the bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

}  // namespace oc
