#include "corpus/code_points.h"

namespace oc::corpus {
namespace {

unsigned char byteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

}  // namespace

CodePoints decodeUtf8(std::string_view utf8) {
    CodePoints out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        unsigned char b = byteAt(utf8, i);
        std::size_t length = b < 0x80                 ? 1
                             : b >= 0xC2 && b <= 0xDF ? 2
                             : (b >> 4) == 0xE        ? 3
                             : b >= 0xF0 && b <= 0xF4 ? 4
                                                      : 0;
        char32_t c = length == 1   ? b
                     : length == 2 ? (b & 0x1F)
                     : length == 3 ? (b & 0x0F)
                                   : (b & 0x07);
        bool ok = length != 0 && i + length <= utf8.size();
        for (std::size_t k = 1; ok && k < length; ++k) {
            unsigned char next = byteAt(utf8, i + k);
            ok = isContinuation(next);
            c = (c << 6) | (next & 0x3F);
        }
        bool shortest = length < 3 || (length == 3 && c >= 0x800) || (length == 4 && c >= 0x10000);
        if (!ok || !shortest || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            out += kReplacementChar;
            ++i;
            continue;
        }
        out += c;
        i += length;
    }
    return out;
}

std::string encodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = kReplacementChar;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

char32_t matchKey(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) {
        c -= 0xFEE0;
    } else if (c == 0x3000) {
        c = U' ';
    }
    bool control = c <= 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
    bool htmlSpecial = c == U'<' || c == U'>' || c == U'&' || c == U'"' || c == U'\'';
    return control || htmlSpecial ? 0 : c;
}

CodePoints matchKeys(std::u32string_view text) {
    CodePoints keys(text);
    for (char32_t& c : keys) {
        c = matchKey(c);
    }
    return keys;
}

bool isPunctuationKey(char32_t key) {
    bool ascii = (key >= U'!' && key <= U'/') || (key >= U':' && key <= U'@') ||
                 (key >= U'[' && key <= U'`') || (key >= U'{' && key <= U'~');
    return ascii || key == 0xB7 || (key >= 0x2000 && key <= 0x206F) ||
           (key >= 0x3000 && key <= 0x303F) || (key >= 0xFE30 && key <= 0xFE4F) ||
           (key >= 0xFF5F && key <= 0xFF65);
}

}  // namespace oc::corpus
