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

// Reads one number at `at`, never past `end`; false when the bytes end first,
// the number needs more than 64 bits, or it is written longer than needed
// (a damaged file; each number has one form, so a file read back re-encodes
// to the same bytes).
inline bool readVarint(const unsigned char*& at, const unsigned char* end, std::uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 64 && at < end; shift += 7) {
        const unsigned char byte = *at++;
        if (shift == 63 && byte > 1) {
            return false;  // more than 64 bits
        }
        value |= std::uint64_t{byte & 0x7Fu} << shift;
        if (byte < 0x80) {
            return byte != 0 || shift == 0;  // a longer form than needed is refused
        }
    }
    return false;
}

}  // namespace oc::corpus
