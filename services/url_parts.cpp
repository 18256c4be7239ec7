#include "services/url_parts.h"

#include <curl/curl.h>
#include <memory>

namespace oc {
namespace {

struct UrlCleanup {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

std::optional<std::string> part(CURLU* url, CURLUPart which) {
    char* value = nullptr;
    if (curl_url_get(url, which, &value, 0) != CURLUE_OK || value == nullptr) {
        return std::nullopt;
    }
    std::string text = value;
    curl_free(value);
    return text;
}

}  // namespace

std::optional<UrlParts> splitUrl(const std::string& url) {
    std::unique_ptr<CURLU, UrlCleanup> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(),
                                CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
        return std::nullopt;
    }
    std::optional<std::string> host = part(parsed.get(), CURLUPART_HOST);
    if (!host || host->empty()) {
        return std::nullopt;
    }
    UrlParts parts;
    for (char c : *host) {
        parts.host += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    parts.path = part(parsed.get(), CURLUPART_PATH).value_or("/");
    return parts;
}

}  // namespace oc
