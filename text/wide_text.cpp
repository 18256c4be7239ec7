#include "text/wide_text.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>

namespace oc {
namespace {

// Two-byte sequences that decode to no character: U+F0000 + (lead - 0x80) * 256 + trail.
constexpr char32_t kEscapeBase = 0xF0000;
constexpr char32_t kEscapeEnd = kEscapeBase + 0x8000;

std::size_t pairIndex(unsigned char lead, unsigned char trail) {
    return static_cast<std::size_t>(lead - 0x80) << 8 | trail;
}

// Every two-byte sequence decoded once, and the reverse map of the decodable ones.
class PairTable {
  public:
    PairTable() {
        iconv_t cd = iconv_open("UTF-32LE", "GB18030");
        for (std::size_t index = 0; index < decoded_.size(); ++index) {
            char32_t escape = kEscapeBase + static_cast<char32_t>(index);
            char32_t code = escape;
            if (cd != reinterpret_cast<iconv_t>(-1)) {
                code = decodePair(cd, index).value_or(escape);
            }
            if (code != escape &&
                !encoded_.emplace(code, static_cast<std::uint16_t>(index)).second) {
                code = escape;  // keep the mapping one-to-one
            }
            decoded_[index] = code;
        }
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd);
        }
    }

    char32_t decode(unsigned char lead, unsigned char trail) const {
        return decoded_[pairIndex(lead, trail)];
    }

    // The two bytes of a code point, or -1.
    int encode(char32_t code) const {
        if (code >= kEscapeBase && code < kEscapeEnd) {
            return static_cast<int>(code - kEscapeBase);
        }
        auto found = encoded_.find(code);
        return found == encoded_.end() ? -1 : found->second;
    }

  private:
    static std::optional<char32_t> decodePair(iconv_t cd, std::size_t index) {
        char in[2] = {static_cast<char>(0x80 + (index >> 8)), static_cast<char>(index & 0xFF)};
        unsigned char out[8] = {};
        char* inPtr = in;
        std::size_t inLeft = 2;
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        // One character from both bytes, else the pair is no character.
        if (rc == static_cast<std::size_t>(-1) || inLeft != 0 || outLeft != sizeof out - 4) {
            return std::nullopt;
        }
        auto code = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
        return code >= 0x80 ? std::optional<char32_t>(code) : std::nullopt;
    }

    std::array<char32_t, 0x8000> decoded_{};
    std::unordered_map<char32_t, std::uint16_t> encoded_;
};

const PairTable& pairTable() {
    static const PairTable table;
    return table;
}

}  // namespace

WideText wideFromGbk(const Text& text) {
    const PairTable& table = pairTable();
    WideText out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (!isLeadByte(byte)) {
            out += static_cast<wchar_t>(byte);
            continue;
        }
        if (i + 1 >= text.size()) {
            break;
        }
        auto trail = static_cast<unsigned char>(text[++i]);
        out += static_cast<wchar_t>(table.decode(byte, trail));
    }
    return out;
}

Text gbkFromWide(const WideText& text) {
    const PairTable& table = pairTable();
    Text out;
    out.reserve(text.size() * 2);
    for (wchar_t c : text) {
        auto code = static_cast<char32_t>(c);
        if (code == 0) {
            continue;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
            continue;
        }
        int pair = table.encode(code);
        if (pair < 0 || (pair & 0xFF) == 0) {
            out += '?';
            continue;
        }
        out += static_cast<char>(0x80 + (pair >> 8));
        out += static_cast<char>(pair & 0xFF);
    }
    return out;
}

std::size_t byteOffsetOfCharacter(const Text& text, std::size_t characterIndex) {
    std::size_t offset = 0;
    for (std::size_t n = 0; n < characterIndex && offset < text.size(); ++n) {
        offset += isLeadByte(text[offset]) ? 2 : 1;
    }
    return offset < text.size() ? offset : text.size();
}

}  // namespace oc
