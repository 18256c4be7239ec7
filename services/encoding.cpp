#include "services/encoding.h"

#include <iconv.h>
#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

#include "services/boundary_text.h"

namespace oc {
namespace {

// The converters a thread has opened, one per pair of encoding names, kept
// for the thread's later conversions: opening one costs about as much as
// converting a result page. Each is reset to its initial state before use.
class ThreadConverters {
  public:
    ThreadConverters() = default;
    ThreadConverters(const ThreadConverters&) = delete;
    ThreadConverters& operator=(const ThreadConverters&) = delete;
    ~ThreadConverters() {
        for (Entry& entry : entries_) {
            iconv_close(entry.cd);
        }
    }

    // Null when iconv knows no such conversion.
    iconv_t get(const Text& to, const Text& from) {
        auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
            return entry.to == to && entry.from == from;
        });
        if (found == entries_.end()) {
            iconv_t cd = iconv_open(to.c_str(), from.c_str());
            if (cd == reinterpret_cast<iconv_t>(-1)) {
                return nullptr;
            }
            if (entries_.size() == kKept) {
                iconv_close(entries_.front().cd);
                entries_.erase(entries_.begin());
            }
            entries_.push_back(Entry{to, from, cd});
            found = entries_.end() - 1;
        }
        iconv(found->cd, nullptr, nullptr, nullptr, nullptr);
        return found->cd;
    }

  private:
    static constexpr std::size_t kKept = 4;
    struct Entry {
        Text to;
        Text from;
        iconv_t cd;
    };
    std::vector<Entry> entries_;
};

iconv_t threadConverter(const Text& to, const Text& from) {
    thread_local ThreadConverters converters;
    return converters.get(to, from);
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

}  // namespace

bool appendConverted(std::string_view data, const Text& fromCode, const Text& toCode,
                     std::string& out) {
    iconv_t cd = threadConverter(toCode, fromCode);
    if (cd == nullptr) {
        return false;
    }
    const std::size_t n = data.size();
    if (n == 0) {
        return true;
    }
    // Sized for the usual case, UTF-8 to GB18030, where the text only shrinks.
    const std::size_t base = out.size();
    out.resize(base + n);
    char* in = const_cast<char*>(data.data());
    std::size_t inLeft = n;
    std::size_t written = 0;
    const std::size_t growth = n / 2 + 128;
    const bool ignoring = asksToIgnore(toCode);
    for (int call = 1; call <= kMaxIconvCalls; ++call) {
        char* outPtr = out.data() + base + written;
        std::size_t outLeft = out.size() - base - written;
        std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        int err = errno;
        written = out.size() - base - outLeft;
        bool done =
            rc != static_cast<std::size_t>(-1) || (ignoring && err == EILSEQ && inLeft == 0);
        if (done) {
            out.resize(base + written);
            return true;
        }
        if (err != E2BIG) {
            break;  // an invalid or cut-off sequence fails the whole conversion
        }
        out.resize(out.size() + growth);
    }
    out.resize(base);
    return false;
}

ByteSet convertEncoding(const ByteSet& data, const Text& fromCode, const Text& toCode, bool* ok) {
    std::string out;
    bool converted = appendConverted(data.view(), fromCode, toCode, out);
    if (ok) {
        *ok = converted;
    }
    return converted ? ByteSet(std::move(out)) : ByteSet();
}

Text gbkToUtf8(const Text& text) {
    bool ok = false;
    ByteSet whole = convertEncoding(ByteSet(text), "CP936", "UTF-8", &ok);
    if (ok) {
        return std::move(whole.bytes());
    }
    // glibc's CP936 lacks the user-defined areas and a few codes Windows has,
    // and text taken from pages may hold four-byte GB18030 forms. GB18030
    // decodes every two-byte code CP936 does, to the same character, and more;
    // it lacks only CP936's one-byte euro sign 0x80. So the text is decoded as
    // GB18030 around those bytes; what neither knows becomes U+FFFD.
    std::string_view rest = text;
    std::string out;
    std::size_t pos = 0;
    while (pos < rest.size()) {
        auto b = static_cast<unsigned char>(rest[pos]);
        if (b == 0x80) {
            out += utf8FromGbk(rest.substr(0, pos));
            out += "\xE2\x82\xAC";
            rest.remove_prefix(pos + 1);
            pos = 0;
        } else {
            pos += b >= 0x81 && b <= 0xFE ? 2 : 1;  // a lead byte and its trail byte
        }
    }
    return out + utf8FromGbk(rest);
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

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

}  // namespace

std::string percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i] == '+' ? ' ' : text[i];
        }
    }
    return out;
}

}  // namespace oc
