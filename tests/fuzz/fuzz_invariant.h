// What every fuzz target shares: invariants that abort with a message (so
// libFuzzer records the input), and a reader that takes parameters and pieces
// of text from the front of the input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "services/text_types.h"

#define require(condition) ::oc::fuzz::requireAt((condition), #condition, __LINE__)

namespace oc::fuzz {

inline void requireAt(bool condition, const char* what, int line) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken (line %d): %s\n", line, what);
        std::abort();
    }
}

// True when the text is a sequence of whole characters.
inline bool wholeCharacters(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        i += isLeadByte(text[i]) ? 2 : 1;
    }
    return i == text.size();
}

// The bytes without their 0x00 bytes: a text never holds one.
inline Text textOf(std::string_view bytes) {
    Text text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        if (c != '\0') {
            text += c;
        }
    }
    return text;
}

// Takes values from the front of the fuzz input.
class InputReader {
  public:
    InputReader(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    // One byte (0 when the input is used up).
    std::uint8_t byte() {
        if (rest_.empty()) {
            return 0;
        }
        auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    bool flag() { return (byte() & 1) != 0; }
    // The bytes up to the next `separator` (which is consumed), or all that is left.
    std::string_view piece(char separator = '\x01') {
        std::size_t end = rest_.find(separator);
        std::string_view piece = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return piece;
    }
    std::string_view rest() {
        std::string_view all = rest_;
        rest_ = {};
        return all;
    }

  private:
    std::string_view rest_;
};

}  // namespace oc::fuzz
