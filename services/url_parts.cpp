#include "services/url_parts.h"

#include <curl/curl.h>
#include <memory>

#include "services/ascii_case.h"

namespace oc {
namespace {

struct UrlFree {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlFree>;

// Addresses on pages may hold spaces and other schemes; both are kept.
constexpr unsigned kLenient = CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE;
// An address without a scheme ("www.example.com/a") still names its host.
constexpr unsigned kGuessing = kLenient | CURLU_GUESS_SCHEME;

std::string part(CURLU* url, CURLUPart which, unsigned flags = 0) {
    char* value = nullptr;
    if (curl_url_get(url, which, &value, flags) != CURLUE_OK || value == nullptr) {
        return {};
    }
    std::string out(value);
    curl_free(value);
    return out;
}

bool hasControlByte(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string resolveUrl(const std::string& base, const std::string& reference) {
    UrlHandle url(curl_url());
    if (!url || hasControlByte(reference)) {
        return {};
    }
    if (!base.empty() &&
        curl_url_set(url.get(), CURLUPART_URL, base.c_str(), kLenient) != CURLUE_OK) {
        url.reset(curl_url());
    }
    if (curl_url_set(url.get(), CURLUPART_URL, reference.c_str(), kLenient) != CURLUE_OK) {
        return {};
    }
    return part(url.get(), CURLUPART_URL);
}

std::string urlHost(const std::string& address) {
    UrlHandle url(curl_url());
    if (!url || hasControlByte(address) ||
        curl_url_set(url.get(), CURLUPART_URL, address.c_str(), kGuessing) != CURLUE_OK) {
        return {};
    }
    std::string host = part(url.get(), CURLUPART_HOST);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    while (!host.empty() && host.back() == '.') {
        host.pop_back();
    }
    host = lowerAscii(std::move(host));
    return host;
}

std::string urlPath(const std::string& address) {
    UrlHandle url(curl_url());
    if (!url || hasControlByte(address) ||
        curl_url_set(url.get(), CURLUPART_URL, address.c_str(), kLenient) != CURLUE_OK) {
        return {};
    }
    return part(url.get(), CURLUPART_PATH);
}

bool isWebAddress(const std::string& url) {
    UrlHandle parsed(curl_url());
    if (!parsed || hasControlByte(url) ||
        curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), kLenient) != CURLUE_OK) {
        return false;
    }
    std::string scheme = part(parsed.get(), CURLUPART_SCHEME);
    return (scheme == "http" || scheme == "https") && !part(parsed.get(), CURLUPART_HOST).empty();
}

bool isIpAddress(const std::string& host) {
    if (host.find(':') != std::string::npos) {
        return true;  // only an IPv6 address holds a colon
    }
    int parts = 1;
    int digits = 0;
    for (char c : host) {
        if (c == '.') {
            if (digits == 0) {
                return false;
            }
            ++parts;
            digits = 0;
        } else if (c >= '0' && c <= '9' && digits < 3) {
            ++digits;
        } else {
            return false;
        }
    }
    return parts == 4 && digits > 0;
}

}  // namespace oc
