#include "services/text_ops.h"

#include <algorithm>
#include <cstdio>

#include "services/ascii_case.h"

namespace oc {
namespace {

unsigned char byteAt(const Text& text, std::size_t offset) {
    return static_cast<unsigned char>(text[offset]);
}

bool equalAt(const Text& text, std::size_t offset, const Text& sought, bool ignoreCase) {
    for (std::size_t i = 0; i < sought.size(); ++i) {
        unsigned char a = byteAt(text, offset + i);
        unsigned char b = static_cast<unsigned char>(sought[i]);
        if (ignoreCase ? foldAsciiCase(a) != foldAsciiCase(b) : a != b) {
            return false;
        }
    }
    return true;
}

// Byte count of the character that starts at `offset`: 2 for a lead byte with a
// following byte, 0 for a lone lead byte at the end (the scan ends there), else 1.
std::size_t charWidthAt(const Text& text, std::size_t offset) {
    if (!isLeadByte(text[offset])) {
        return 1;
    }
    return offset + 1 < text.size() ? 2 : 0;
}

std::size_t startOffset(int start) {
    return start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
}

}  // namespace

int textLength(const Text& text) {
    return static_cast<int>(text.size());
}

Text leftText(const Text& text, int n) {
    if (n <= 0) {
        return {};
    }
    return text.substr(0, static_cast<std::size_t>(n));
}

Text rightText(const Text& text, int n) {
    if (n <= 0) {
        return {};
    }
    std::size_t count = std::min(text.size(), static_cast<std::size_t>(n));
    return text.substr(text.size() - count);
}

Text midText(const Text& text, int start, int n) {
    if (start < 1 || static_cast<std::size_t>(start) > text.size() || n <= 0) {
        return {};
    }
    return text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n));
}

int charCode(const Text& text, int position) {
    if (position < 1 || static_cast<std::size_t>(position) > text.size()) {
        return 0;
    }
    return static_cast<signed char>(text[static_cast<std::size_t>(position) - 1]);
}

Text charFromCode(int byte) {
    char c = static_cast<char>(byte);
    return c == 0 ? Text() : Text(1, c);
}

int findText(const Text& text, const Text& sought, int start, bool ignoreCase) {
    std::size_t offset = startOffset(start);
    if (offset >= text.size()) {
        return -1;
    }
    if (sought.empty()) {
        return 1;
    }
    while (text.size() - offset >= sought.size()) {
        if (equalAt(text, offset, sought, ignoreCase)) {
            return static_cast<int>(offset) + 1;
        }
        std::size_t width = charWidthAt(text, offset);
        if (width == 0) {
            break;
        }
        offset += width;
    }
    return -1;
}

Text replaceText(const Text& text, const Text& find, const Text& replacement, int start, int count,
                 bool caseSensitive) {
    std::size_t offset = startOffset(start);
    if (text.empty() || find.empty() || count == 0 || offset >= text.size()) {
        return text;
    }
    Text out = text.substr(0, offset);
    out.reserve(text.size());
    int remaining = count;
    while (text.size() - offset >= find.size()) {
        if (equalAt(text, offset, find, !caseSensitive)) {
            out += replacement;
            offset += find.size();
            if (remaining > 0 && --remaining == 0) {
                break;
            }
            continue;
        }
        std::size_t width = charWidthAt(text, offset);
        if (width == 0) {
            break;
        }
        out.append(text, offset, width);
        offset += width;
    }
    out.append(text, offset, Text::npos);
    return out;
}

Text trimSpaces(const Text& text) {
    auto blankWidth = [&](std::size_t offset) -> std::size_t {
        if (byteAt(text, offset) == 0x20) {
            return 1;
        }
        if (offset + 1 < text.size() && byteAt(text, offset) == 0xA1 &&
            byteAt(text, offset + 1) == 0xA1) {
            return 2;
        }
        return 0;
    };
    std::size_t first = 0;
    while (first < text.size()) {
        std::size_t width = blankWidth(first);
        if (width == 0) {
            break;
        }
        first += width;
    }
    // Walk the characters after the leading blanks and remember where the last
    // non-blank one ends.
    std::size_t end = first;
    std::size_t offset = first;
    while (offset < text.size()) {
        std::size_t width = blankWidth(offset);
        if (width == 0) {
            width = isLeadByte(text[offset]) && offset + 1 < text.size() ? 2 : 1;
            end = offset + width;
        }
        offset += width;
    }
    return text.substr(first, end - first);
}

Text toHalfWidth(const Text& text) {
    Text out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        unsigned char lead = byteAt(text, i);
        if (!isLeadByte(lead)) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) {
            break;  // a lone lead byte at the end is dropped
        }
        unsigned char trail = byteAt(text, i + 1);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            out += static_cast<char>(trail - 0x80);
        } else if (lead == 0xA1 && trail == 0xA1) {
            out += ' ';
        } else if (lead == 0xA1 && trail == 0xAB) {
            out += '~';
        } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
            out += '*';
        } else {
            out.append(text, i, 2);
        }
        i += 2;
    }
    return out;
}

Text toFullWidth(const Text& text) {
    Text out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size();) {
        unsigned char byte = byteAt(text, i);
        if (isLeadByte(byte)) {
            if (i + 1 >= text.size()) {
                break;
            }
            out.append(text, i, 2);
            i += 2;
            continue;
        }
        if (byte == 0x20) {
            out += "\xA1\xA1";
        } else if (byte >= 0x21 && byte <= 0x7D) {
            out += static_cast<char>(0xA3);
            out += static_cast<char>(byte + 0x80);
        } else if (byte == 0x7E) {
            out += "\xA1\xAB";
        } else {
            out += static_cast<char>(byte);
        }
        ++i;
    }
    return out;
}

Text spaceText(int n) {
    return n < 1 ? Text() : Text(static_cast<std::size_t>(n), ' ');
}

Text hexText(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(value));
    return buffer;
}

}  // namespace oc
