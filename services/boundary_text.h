// Conversions at the edges of the system, where GBK text meets UTF-8 (the
// window, the terminal, file contents and the tests).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
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

// What stands in for a sequence that is invalid or has no form in the target
// encoding: appends to `out` what replaces the sequence at input `position`
// and returns how many input bytes it covers (at least 1).
using BadSequence = std::function<std::size_t(std::string& out, std::size_t position)>;

// Converts the whole input with iconv, every bad sequence handled by `onBad`.
// Nothing when the converter cannot be opened.
std::optional<std::string> convertLeniently(const char* toCode, const char* fromCode,
                                            std::string_view in, const BadSequence& onBad);

// The input as GBK text (code page 936): 0x00 bytes dropped, the euro sign in
// its two-byte form, every sequence GBK lacks or that is invalid handled by
// `onBad`. Empty when the converter cannot be opened.
Text gbkFromEncoding(const char* fromCode, std::string_view in, const BadSequence& onBad);

// Length of the well-formed UTF-8 sequence at `position`, 0 when none starts there.
std::size_t utf8SequenceAt(std::string_view bytes, std::size_t position);

// True when the bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

}  // namespace oc
