// The cookie-file reader on arbitrary bytes: every cookie it takes is one line
// of seven fields that libcurl can be handed, written back it reads the same,
// its expired form stays the same cookie, and the bound leaves a jar within it.
#include <cstdint>
#include <map>
#include <string>

#include "services/cookie_jar.h"
#include "tests/fuzz/fuzz_invariant.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    oc::fuzz::InputReader input(data, size);
    oc::CookieBound bound{1 + std::size_t{input.byte()} % 8, 64 + 16 * std::size_t{input.byte()}};
    std::vector<oc::CookieLine> jar = oc::parseCookieLines(input.rest());
    for (const oc::CookieLine& cookie : jar) {
        for (char c : cookie.line) {
            require(static_cast<unsigned char>(c) >= 0x20 || c == '\t');
        }
        require(cookie.expires >= 0);
        std::vector<oc::CookieLine> expired = oc::parseCookieLines(oc::expiredCookieLine(cookie));
        require(expired.size() == 1);
        require(expired[0].expires == 1 && expired[0].domain == cookie.domain);
    }
    std::vector<oc::CookieLine> again = oc::parseCookieLines(oc::cookieFileText(jar));
    require(again.size() == jar.size());
    for (std::size_t i = 0; i < jar.size(); ++i) {
        require(again[i].line == jar[i].line);
    }

    std::vector<bool> gone(jar.size(), false);
    for (std::size_t i : oc::cookiesOverBound(jar, bound)) {
        require(i < jar.size() && !gone[i]);
        gone[i] = true;
    }
    std::map<std::string, std::size_t> perDomain;
    std::size_t total = 0;
    for (std::size_t i = 0; i < jar.size(); ++i) {
        if (!gone[i]) {
            require(++perDomain[jar[i].domain] <= bound.perDomain);
            total += jar[i].line.size() + 1;
        }
    }
    require(total <= bound.totalBytes);
    return 0;
}
