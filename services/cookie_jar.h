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

// What makes two lines the same cookie: its domain, path and name.
std::string cookieIdentity(const CookieLine& cookie);

// The cookie file another process may have written since this one last read
// or wrote it (`onDisk`), merged with this process's lasting cookies (`mine`):
// every cookie of `mine`, and each cookie of the file that this process did
// not know at its last read or write (`known`, by identity: another process
// added it) and has not expired at `now`. A cookie this process knew and no
// longer holds was removed here and stays removed. In `mine`'s order, then
// the file's.
std::vector<CookieLine> mergeCookieFile(const std::vector<CookieLine>& mine,
                                        const std::vector<CookieLine>& onDisk,
                                        const std::vector<std::string>& known, long long now);

// The file's content: a header line, then one line per cookie.
std::string cookieFileText(const std::vector<CookieLine>& jar);

}  // namespace oc
