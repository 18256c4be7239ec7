#include "services/cookie_jar.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "services/ascii_case.h"

namespace oc {
namespace {

constexpr std::string_view kHttpOnlyMarker = "#HttpOnly_";
constexpr std::size_t kFields = 7;
constexpr std::size_t kExpiresField = 4;

// The positions where the tab-separated fields of a line start.
std::vector<std::size_t> fieldStarts(std::string_view line) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t') {
            starts.push_back(i + 1);
        }
    }
    return starts;
}

bool parseExpiry(std::string_view field, long long& expires) {
    if (field.empty() || field.size() > 18 ||
        field.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    expires = 0;
    for (char c : field) {
        expires = expires * 10 + (c - '0');
    }
    return true;
}

bool parseCookie(std::string_view line, CookieLine& cookie) {
    std::string_view body = line;
    if (body.starts_with(kHttpOnlyMarker)) {
        body.remove_prefix(kHttpOnlyMarker.size());
    } else if (body.empty() || body.front() == '#') {
        return false;
    }
    if (std::any_of(line.begin(), line.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; })) {
        return false;
    }
    std::vector<std::size_t> starts = fieldStarts(body);
    if (starts.size() != kFields) {
        return false;
    }
    auto field = [&](std::size_t k) {
        std::size_t end = k + 1 < starts.size() ? starts[k + 1] - 1 : body.size();
        return body.substr(starts[k], end - starts[k]);
    };
    if (field(0).empty() || field(5).empty() ||
        !parseExpiry(field(kExpiresField), cookie.expires)) {
        return false;
    }
    std::string_view domain = field(0);
    while (domain.starts_with('.')) {
        domain.remove_prefix(1);
    }
    cookie.domain = lowerAscii(std::string(domain));
    cookie.line.assign(line);
    return true;
}

}  // namespace

std::string cookieIdentity(const CookieLine& cookie) {
    std::string_view body = cookie.line;
    if (body.starts_with(kHttpOnlyMarker)) {
        body.remove_prefix(kHttpOnlyMarker.size());
    }
    const std::vector<std::size_t> starts = fieldStarts(body);
    if (starts.size() != kFields) {
        return cookie.line;
    }
    auto field = [&](std::size_t k) {
        return body.substr(starts[k], starts[k + 1] - 1 - starts[k]);
    };
    return std::string(cookie.domain).append("\t").append(field(2)).append("\t").append(field(5));
}

std::vector<CookieLine> mergeCookieFile(const std::vector<CookieLine>& mine,
                                        const std::vector<CookieLine>& onDisk,
                                        const std::vector<std::string>& known, long long now) {
    std::vector<std::string> held;
    held.reserve(mine.size());
    for (const CookieLine& cookie : mine) {
        held.push_back(cookieIdentity(cookie));
    }
    std::sort(held.begin(), held.end());
    std::vector<std::string> knownSorted = known;
    std::sort(knownSorted.begin(), knownSorted.end());
    std::vector<CookieLine> merged = mine;
    for (const CookieLine& cookie : onDisk) {
        const std::string id = cookieIdentity(cookie);
        if (cookie.expires == 0 || cookie.expires <= now ||
            std::binary_search(held.begin(), held.end(), id) ||
            std::binary_search(knownSorted.begin(), knownSorted.end(), id)) {
            continue;
        }
        held.insert(std::upper_bound(held.begin(), held.end(), id), id);
        merged.push_back(cookie);
    }
    return merged;
}

std::vector<CookieLine> parseCookieLines(std::string_view text) {
    std::vector<CookieLine> jar;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        CookieLine cookie;
        if (parseCookie(line, cookie)) {
            jar.push_back(std::move(cookie));
        }
    }
    return jar;
}

std::vector<std::size_t> cookiesOverBound(const std::vector<CookieLine>& jar,
                                          const CookieBound& bound) {
    // Least worth keeping first: session cookies, then the soonest to expire.
    std::vector<std::size_t> order(jar.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        bool sessionA = jar[a].expires == 0;
        bool sessionB = jar[b].expires == 0;
        if (sessionA != sessionB) {
            return sessionA;
        }
        return jar[a].expires < jar[b].expires;
    });

    std::map<std::string_view, std::size_t> perDomain;
    std::size_t total = 0;
    for (const CookieLine& cookie : jar) {
        ++perDomain[cookie.domain];
        total += cookie.line.size() + 1;
    }
    std::vector<bool> evicted(jar.size(), false);
    std::vector<std::size_t> out;
    auto evict = [&](std::size_t i) {
        evicted[i] = true;
        --perDomain[jar[i].domain];
        total -= jar[i].line.size() + 1;
        out.push_back(i);
    };
    for (std::size_t i : order) {
        if (perDomain[jar[i].domain] > bound.perDomain) {
            evict(i);
        }
    }
    for (std::size_t i : order) {
        if (total <= bound.totalBytes) {
            break;
        }
        if (!evicted[i]) {
            evict(i);
        }
    }
    return out;
}

std::string expiredCookieLine(const CookieLine& cookie) {
    std::string_view line = cookie.line;
    std::size_t prefix = line.starts_with(kHttpOnlyMarker) ? kHttpOnlyMarker.size() : 0;
    std::vector<std::size_t> starts = fieldStarts(line.substr(prefix));
    std::size_t from = prefix + starts[kExpiresField];
    std::size_t to = prefix + starts[kExpiresField + 1] - 1;
    return std::string(line.substr(0, from)) + "1" + std::string(line.substr(to));
}

std::string cookieFileText(const std::vector<CookieLine>& jar) {
    std::string text = "# Netscape HTTP Cookie File\n# Written by originality-checker.\n\n";
    for (const CookieLine& cookie : jar) {
        text += cookie.line;
        text += '\n';
    }
    return text;
}

}  // namespace oc
