// Page decoding on arbitrary bytes and headers: the declarations are read
// without crashing or reading past the input, a page either decodes or leaves
// the text as it was, the text never holds a zero byte (one is dropped, the
// rest of the page kept), and UTF-8 pages decode
// as they always did whatever they declare, a character GB18030 lacks aside.
#include <cstdint>
#include <string>

#include "services/boundary_text.h"
#include "services/encoding.h"
#include "services/page_decoding.h"
#include "tests/fuzz/fuzz_invariant.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    oc::fuzz::InputReader in(data, size);
    const std::string_view contentType = in.piece();
    const std::string_view body = in.rest();

    const std::string parameter = oc::charsetParameter(contentType);
    require(parameter.find(';') == std::string::npos);
    require(parameter.size() <= contentType.size());
    const std::string code = oc::pageCharsetCode(parameter);
    require(code.empty() || code == "GB18030" || code == "BIG5-HKSCS");

    const std::string meta = oc::metaCharset(body);
    require(meta.size() <= 2 * oc::kMetaScanBytes);

    // As the passes read a page: its UTF-8 text, then GB18030 where runs are measured.
    std::string received(body);
    std::string page = "an earlier page";
    const bool decoded = oc::readPageUtf8(received, contentType, page);
    require(decoded || page.empty());
    require(page.find('\0') == std::string::npos);
    std::string out = "kept";
    if (decoded) {
        oc::appendGb18030(page, out);
    }
    require(out.compare(0, 4, "kept") == 0);
    require(out.find('\0') == std::string::npos);
    if (oc::isValidUtf8(body)) {
        require(decoded);
        // Exactly the plain conversion, unless the page holds a character
        // GB18030 has no form for; then still well-formed GB18030 throughout.
        bool ok = false;
        std::string whole =
            oc::convertEncoding(oc::ByteSet(std::string(body)), "UTF-8", "GB18030", &ok).bytes();
        if (ok) {
            std::erase(whole, '\0');
            require(out.substr(4) == whole);
        } else {
            bool back = false;
            oc::convertEncoding(oc::ByteSet(out.substr(4)), "GB18030", "UTF-8", &back);
            require(back);
        }
    }
    return 0;
}
