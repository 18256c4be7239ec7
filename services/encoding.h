// Character-encoding conversion over iconv and the query encoding of segments.
#pragma once

#include <string>
#include <string_view>

#include "services/text_types.h"

namespace oc {

// Converts the whole byte set from one encoding to another. Any invalid or
// incomplete sequence fails the whole conversion: empty result, ok false. A
// present empty input gives empty with ok true.
ByteSet convertEncoding(const ByteSet& data, const Text& fromCode, const Text& toCode,
                        bool* ok = nullptr);

// The same conversion, appended to `out`, which keeps its capacity from call
// to call. False, with `out` as it was, on any failure. Each thread keeps the
// converters it has opened and resets one before every use.
bool appendConverted(std::string_view data, const Text& fromCode, const Text& toCode,
                     std::string& out);

// The UTF-8 form of a GBK text.
Text gbkToUtf8(const Text& text);

// Percent-encodes the GBK bytes (or, with utf8, the UTF-8 bytes) of the text:
// "%" and two upper-case hex digits; with keepSafe, - . 0-9 A-Z a-z stay.
Text urlEncode(const Text& text, bool keepSafe = false, bool utf8 = false);

// Undoes percent-encoding: "%" and two hex digits (either case) become that
// byte, "+" a space; anything else stays as it is.
std::string percentDecode(std::string_view text);

}  // namespace oc
