// The cookie file's lines (the Netscape cookie-file format libcurl reads and
// lists), and the bound that keeps the cookie store small.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace oc {

// One cookie as one line of the file, without its line end.
struct CookieLine {
    std::string line;
    std::string domain;     // lower case, without a leading dot or the HttpOnly marker
    long long expires = 0;  // seconds since 1970; 0 for a session cookie
};

struct CookieBound {
    std::size_t perDomain = 50;
    std::size_t totalBytes = 1u << 20;  // the lines and their line ends
};

// A cookie file is never read beyond this size.
inline constexpr std::size_t kMaxCookieFileBytes = 2u << 20;

// The cookies of a file or of libcurl's list; comments, blank lines and lines
// that are no cookie (a wrong field count, a control byte) are left out.
std::vector<CookieLine> parseCookieLines(std::string_view text);

// Which cookies (indices into `jar`) go so that the rest keeps the bound:
// session cookies first, then those that expire soonest.
std::vector<std::size_t> cookiesOverBound(const std::vector<CookieLine>& jar,
                                          const CookieBound& bound);

// The same cookie with an expiry in the past: handed to libcurl, it removes
// the cookie from the store.
std::string expiredCookieLine(const CookieLine& cookie);

// The file's content: a header line, then one line per cookie.
std::string cookieFileText(const std::vector<CookieLine>& jar);

}  // namespace oc
