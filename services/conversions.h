// Conversions between values and texts with fixed number and date formats.
#pragma once

#include <cstdint>

#include "services/text_types.h"

namespace oc {

// Text: half-width conversion, then leading white space, an optional sign and
// decimal digits; no digits gives 0 (saturates at the int range).
int toInteger(const Text& text);
inline int toInteger(const char* text) {
    return toInteger(Text(text));
}
int toInteger(double value);
int toInteger(float value);
int toInteger(std::int64_t value);
int toInteger(std::int32_t value);
int toInteger(std::int16_t value);
int toInteger(std::uint8_t value);
int toInteger(bool value);

double toNumber(const Text& text);
inline double toNumber(const char* text) {
    return toNumber(Text(text));
}
double toNumber(std::int32_t value);
double toNumber(std::int64_t value);
double toNumber(double value);
double toNumber(bool value);

Text toText(const ByteSet& bytes);  // the bytes before the first 0x00
Text toText(std::int32_t value);    // "%d"
Text toText(std::int64_t value);
Text toText(std::int16_t value);
Text toText(std::uint8_t value);  // "%u"
Text toText(double value);        // "%.13g"
Text toText(float value);         // "%.6g"
Text toText(bool value);          // "真" or "假"
inline Text toText(const char* value) {
    return Text(value);
}
inline Text toText(const Text& value) {
    return value;
}
Text toText(DateTime value);  // 2024年3月5日9时7分30秒, time parts left off from the right

ByteSet toBytes(const Text& text);
ByteSet toBytes(std::int32_t value);  // 4 bytes, little-endian
ByteSet toBytes(double value);        // its 8 bytes

}  // namespace oc
