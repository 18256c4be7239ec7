// Comparisons that fold only the ASCII letters, never through the C locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace oc {

template <typename Char>
constexpr Char foldAsciiCase(Char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c + ('a' - 'A')) : c;
}

// For narrow and wide strings alike, compared character by character.
template <typename Left, typename Right>
bool equalsIgnoringAsciiCase(const Left& left, const Right& right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (static_cast<char32_t>(foldAsciiCase(left[i])) !=
            static_cast<char32_t>(foldAsciiCase(right[i]))) {
            return false;
        }
    }
    return true;
}

// The text with its ASCII letters in lower case; every other byte kept.
inline std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = foldAsciiCase(c);
    }
    return lower;
}

}  // namespace oc
