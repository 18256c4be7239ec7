#include "services/shown_text.h"

#include <cstdint>
#include <cstdio>

#include "services/boundary_text.h"

namespace oc {
namespace {

// The code point of a well-formed sequence of `length` bytes.
char32_t codePoint(std::string_view sequence) {
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() == 1) {
        return lead;
    }
    char32_t value = lead & (0xFF >> (sequence.size() + 1));
    for (std::size_t k = 1; k < sequence.size(); ++k) {
        value = (value << 6) | (static_cast<unsigned char>(sequence[k]) & 0x3F);
    }
    return value;
}

bool isBidiControl(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Calls `each(sequence, codePoint)` for every well-formed sequence and
// `bad(byte)` for every byte that starts none.
template <typename Each, typename Bad>
void walk(std::string_view utf8, Each each, Bad bad) {
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = utf8SequenceAt(utf8, i);
        if (length == 0) {
            bad(static_cast<unsigned char>(utf8[i]));
            ++i;
            continue;
        }
        const std::string_view sequence = utf8.substr(i, length);
        each(sequence, codePoint(sequence));
        i += length;
    }
}

}  // namespace

std::string terminalText(std::string_view utf8, bool keepLineBreaks) {
    std::string out;
    out.reserve(utf8.size());
    char escape[16];
    walk(
        utf8,
        [&](std::string_view sequence, char32_t c) {
            if (keepLineBreaks && c == '\r' && sequence.data() + 1 < utf8.data() + utf8.size() &&
                sequence.data()[1] == '\n') {
                return;  // CR LF is one line break
            }
            if (c == '\n' && keepLineBreaks) {
                out += '\n';
            } else if (c < 0x80 && isControl(c)) {
                std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
                out += escape;
            } else if (isControl(c) || isBidiControl(c)) {
                std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
                out += escape;
            } else {
                out += sequence;
            }
        },
        [&](unsigned char byte) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(byte));
            out += escape;
        });
    return out;
}

std::string reportText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    walk(
        utf8,
        [&](std::string_view sequence, char32_t c) {
            if (c == '\t' || c == '\n' || c == '\r' || (!isControl(c) && !isBidiControl(c))) {
                out += sequence;
            }
        },
        [&](unsigned char) { out += "\xEF\xBF\xBD"; });
    return out;
}

}  // namespace oc
