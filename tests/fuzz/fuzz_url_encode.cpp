// Query encoding of arbitrary texts: the result is made of safe bytes and
// upper-case escapes only, and decodes to the bytes that were meant.
#include <cstdint>
#include <optional>
#include <string>

#include "services/boundary_text.h"
#include "services/encoding.h"
#include "tests/fuzz/fuzz_invariant.h"

namespace {

bool isSafe(unsigned char b) {
    return b == '-' || b == '.' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') ||
           (b >= 'a' && b <= 'z');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;  // lower case is never written
}

// The bytes an encoded query stands for; nothing when it is malformed or
// leaves a byte unescaped that should have been escaped.
std::optional<std::string> decode(const oc::Text& encoded, bool keepSafe) {
    std::string bytes;
    for (std::size_t i = 0; i < encoded.size();) {
        if (encoded[i] != '%') {
            if (!keepSafe || !isSafe(static_cast<unsigned char>(encoded[i]))) {
                return std::nullopt;
            }
            bytes += encoded[i++];
            continue;
        }
        if (i + 2 >= encoded.size()) {
            return std::nullopt;
        }
        int high = hexValue(encoded[i + 1]);
        int low = hexValue(encoded[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        auto b = static_cast<unsigned char>(high * 16 + low);
        if (keepSafe && isSafe(b)) {
            return std::nullopt;  // a safe byte is kept as it is
        }
        bytes += static_cast<char>(b);
        i += 3;
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    oc::fuzz::InputReader in(data, size);
    bool keepSafe = in.flag();
    oc::Text text = oc::fuzz::textOf(in.rest());

    // The Baidu form: every GBK byte escaped.
    oc::Text baidu = oc::urlEncode(text, false, false);
    require(baidu.size() == 3 * text.size());
    require(decode(baidu, false) == text);
    // The 360 form: the UTF-8 bytes, safe ones kept.
    oc::Text engine360 = oc::urlEncode(text, true, true);
    require(decode(engine360, true) == oc::gbkToUtf8(text));
    require(oc::isValidUtf8(oc::gbkToUtf8(text)));
    // The other two combinations behave alike.
    require(decode(oc::urlEncode(text, keepSafe, !keepSafe), keepSafe) ==
            (keepSafe ? text : oc::gbkToUtf8(text)));
    return 0;
}
