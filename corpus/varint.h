// Unsigned integers in 7-bit groups, low group first, the high bit of a byte
// saying that another follows: small numbers take one byte.
#pragma once

#include <cstdint>
#include <string>

namespace oc::corpus {

inline void appendVarint(std::string& out, std::uint64_t value) {
    while (value >= 0x80) {
        out += static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

// Reads one number at `at`, never past `end`; false when the bytes end first
// or the number needs more than 64 bits (a damaged file).
inline bool readVarint(const unsigned char*& at, const unsigned char* end, std::uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 64 && at < end; shift += 7) {
        const unsigned char byte = *at++;
        value |= std::uint64_t{byte & 0x7Fu} << shift;
        if (byte < 0x80) {
            return true;
        }
    }
    return false;
}

}  // namespace oc::corpus
