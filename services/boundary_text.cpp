#include "services/boundary_text.h"

#include <iconv.h>
#include <simdjson.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace oc {
namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence starting at `p` (1 for an invalid byte).
std::size_t utf8SequenceLength(std::string_view s, std::size_t p) {
    auto b = static_cast<unsigned char>(s[p]);
    std::size_t n = b < 0x80           ? 1
                    : (b >> 5) == 0x6  ? 2
                    : (b >> 4) == 0xE  ? 3
                    : (b >> 3) == 0x1E ? 4
                                       : 1;
    return std::min(n, s.size() - p);
}

}  // namespace

std::optional<std::string> convertLeniently(const char* toCode, const char* fromCode,
                                            std::string_view in, const BadSequence& onBad) {
    Converter cd(toCode, fromCode);
    if (!cd.ok()) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(in.size() * 3 / 2 + 16);
    char buffer[4096];
    std::size_t pos = 0;
    while (pos < in.size()) {
        char* inPtr = const_cast<char*>(in.data() + pos);
        std::size_t inLeft = in.size() - pos;
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t rc = iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft);
        int err = errno;
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        pos = in.size() - inLeft;
        if (rc != static_cast<std::size_t>(-1)) {
            break;
        }
        if (err == E2BIG) {
            continue;
        }
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        pos += std::max<std::size_t>(1, onBad(out, pos));
    }
    return out;
}

Text gbkFromEncoding(const char* fromCode, std::string_view in, const BadSequence& onBad) {
    std::optional<std::string> converted = convertLeniently("CP936", fromCode, in, onBad);
    if (!converted) {
        return {};
    }
    Text out = std::move(*converted);
    std::erase(out, '\0');
    // Code page 936 writes the euro sign as the one byte 0x80, which a text
    // would take for the first byte of a two-byte character; its two-byte
    // GB18030 form keeps the character and the character structure.
    for (std::size_t i = 0; i < out.size();) {
        if (static_cast<unsigned char>(out[i]) == 0x80) {
            out.replace(i, 1, "\xA2\xE3");
        }
        i += isLeadByte(out[i]) ? 2 : 1;
    }
    return out;
}

std::string utf8FromGbk(std::string_view gbk) {
    std::optional<std::string> utf8 =
        convertLeniently("UTF-8", "GB18030", gbk, [&](std::string& out, std::size_t pos) {
            out += "\xEF\xBF\xBD";
            return isLeadByte(gbk[pos]) && pos + 1 < gbk.size() ? std::size_t{2} : std::size_t{1};
        });
    return utf8 ? std::move(*utf8) : std::string(gbk);
}

Text gbkFromUtf8(std::string_view utf8) {
    return gbkFromEncoding("UTF-8", utf8, [&](std::string& out, std::size_t pos) {
        out += '?';
        return utf8SequenceLength(utf8, pos);
    });
}

namespace {

// The length of the well-formed UTF-8 sequence at `p` with `left` bytes
// (at least one) from there to the end; 0 when it is not one.
inline std::size_t sequenceLength(const unsigned char* p, std::size_t left) {
    const unsigned b = p[0];
    if (b < 0x80) {
        return 1;
    }
    std::size_t n;
    unsigned cp;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        cp = b & 0x07;
    } else {
        return 0;
    }
    if (n > left) {
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        const unsigned c = p[k];
        if ((c & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return n;
}

}  // namespace

std::size_t utf8SequenceAt(std::string_view s, std::size_t i) {
    if (i >= s.size()) {
        return 0;
    }
    return sequenceLength(reinterpret_cast<const unsigned char*>(s.data()) + i, s.size() - i);
}

bool isValidUtf8(std::string_view s) {
    // Result pages are hundreds of kilobytes of mostly three-byte characters:
    // the library checks them many bytes at a time.
    return simdjson::validate_utf8(s.data(), s.size());
}

}  // namespace oc
