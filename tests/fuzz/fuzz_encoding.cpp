// Encoding conversion between UTF-8, GB18030 and CP936 on arbitrary bytes: a
// conversion either fails whole or converts back to its input, UTF-8 input
// converts exactly when it is well-formed, and the boundary conversions always
// give well-formed results.
#include <cstdint>
#include <string>

#include "services/boundary_text.h"
#include "services/encoding.h"
#include "tests/fuzz/fuzz_invariant.h"

namespace {

const char* const kCodes[] = {"UTF-8", "GB18030", "CP936"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    oc::fuzz::InputReader in(data, size);
    std::uint8_t choice = in.byte();
    const char* from = kCodes[choice % 3];
    const char* to = kCodes[(choice / 3) % 3];
    oc::ByteSet input{std::string(in.rest())};

    bool ok = true;
    oc::ByteSet out = oc::convertEncoding(input, from, to, &ok);
    if (!ok) {
        require(out.empty());
    } else {
        require(!out.empty() || input.empty());
        bool back = false;
        oc::ByteSet again = oc::convertEncoding(out, to, from, &back);
        require(back);
        require(again == input);
    }
    // Every Unicode character has a GB18030 form: UTF-8 converts exactly when it is well-formed.
    if (from == std::string_view("UTF-8") && to == std::string_view("GB18030")) {
        require(ok == oc::isValidUtf8(input.view()));
    }

    // The conversions at the edges of the system never fail and never leave bad bytes.
    std::string utf8 = oc::utf8FromGbk(input.view());
    require(oc::isValidUtf8(utf8));
    oc::Text gbk = oc::gbkFromUtf8(input.view());
    require(gbk.find('\0') == oc::Text::npos);
    require(oc::fuzz::wholeCharacters(gbk));
    if (oc::isValidUtf8(input.view()) && input.view().find('?') == std::string_view::npos &&
        gbk.find('?') == oc::Text::npos && input.view().find('\0') == std::string_view::npos) {
        require(oc::utf8FromGbk(gbk) == input.view());  // nothing was replaced
    }
    return 0;
}
