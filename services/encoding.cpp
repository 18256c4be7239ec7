#include "services/encoding.h"

#include <iconv.h>
#include <cerrno>
#include <memory>
#include <string_view>

#include "services/boundary_text.h"

namespace oc {
namespace {

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle openIconv(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    return cd == reinterpret_cast<iconv_t>(-1) ? nullptr : IconvHandle(cd);
}

constexpr int kMaxIconvCalls = 12;

// glibc skips what "//IGNORE" drops but still ends with EILSEQ once all input
// is read; such an end is a completed conversion.
bool asksToIgnore(const Text& code) {
    Text upper = code;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper.find("//IGNORE") != Text::npos;
}

// Bytes of the GBK (or four-byte GB18030) character starting at `pos`: 4 for
// a four-byte form, 2 for a lead byte with a valid trail byte, else 1.
std::size_t gbkCharLength(std::string_view text, std::size_t pos) {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (!isLeadByte(at(pos)) || pos + 1 >= text.size()) {
        return 1;
    }
    unsigned char second = at(pos + 1);
    if (second >= 0x30 && second <= 0x39 && pos + 3 < text.size() && at(pos + 2) >= 0x81 &&
        at(pos + 2) <= 0xFE && at(pos + 3) >= 0x30 && at(pos + 3) <= 0x39) {
        return 4;
    }
    return second >= 0x40 && second <= 0xFE && second != 0x7F ? 2 : 1;
}

}  // namespace

ByteSet convertEncoding(const ByteSet& data, const Text& fromCode, const Text& toCode, bool* ok) {
    if (ok) {
        *ok = false;
    }
    IconvHandle cd = openIconv(toCode.c_str(), fromCode.c_str());
    if (!cd) {
        return {};
    }
    const std::size_t n = data.size();
    if (n == 0) {
        if (ok) {
            *ok = true;
        }
        return {};
    }
    // Sized for the usual case, UTF-8 to GB18030, where the text only shrinks.
    std::string out(n, '\0');
    char* in = const_cast<char*>(data.data());
    std::size_t inLeft = n;
    std::size_t written = 0;
    const std::size_t growth = n / 2 + 128;
    const bool ignoring = asksToIgnore(toCode);
    for (int call = 1; call <= kMaxIconvCalls; ++call) {
        char* outPtr = out.data() + written;
        std::size_t outLeft = out.size() - written;
        std::size_t rc = iconv(static_cast<iconv_t>(cd.get()), &in, &inLeft, &outPtr, &outLeft);
        int err = errno;
        written = out.size() - outLeft;
        bool done =
            rc != static_cast<std::size_t>(-1) || (ignoring && err == EILSEQ && inLeft == 0);
        if (done) {
            out.resize(written);
            if (ok) {
                *ok = true;
            }
            return ByteSet(std::move(out));
        }
        if (err != E2BIG) {
            break;  // an invalid or cut-off sequence fails the whole conversion
        }
        out.resize(out.size() + growth);
    }
    return {};
}

Text gbkToUtf8(const Text& text) {
    IconvHandle cd = openIconv("UTF-8", "CP936");
    if (!cd) {
        return utf8FromGbk(text);
    }
    // glibc's CP936 lacks the user-defined areas and a few codes Windows has,
    // and text taken from pages may hold four-byte GB18030 forms: such a
    // character alone is decoded as GB18030, so the rest of the text survives.
    std::string out;
    out.reserve(text.size() * 3 / 2 + 16);
    char buffer[4096];
    std::size_t pos = 0;
    while (pos < text.size()) {
        char* in = const_cast<char*>(text.data() + pos);
        std::size_t inLeft = text.size() - pos;
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t rc = iconv(static_cast<iconv_t>(cd.get()), &in, &inLeft, &outPtr, &outLeft);
        int err = errno;
        out.append(buffer, sizeof buffer - outLeft);
        pos = text.size() - inLeft;
        if (rc != static_cast<std::size_t>(-1) || err == E2BIG) {
            continue;
        }
        std::size_t length = gbkCharLength(text, pos);
        out += utf8FromGbk(std::string_view(text).substr(pos, length));
        pos += length;
        iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

Text urlEncode(const Text& text, bool keepSafe, bool utf8) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    const Text bytes = utf8 ? gbkToUtf8(text) : text;
    Text out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        bool safe = b == '-' || b == '.' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') ||
                    (b >= 'a' && b <= 'z');
        if (keepSafe && safe) {
            out += c;
        } else {
            out += '%';
            out += kHexDigits[b >> 4];
            out += kHexDigits[b & 0x0F];
        }
    }
    return out;
}

}  // namespace oc
