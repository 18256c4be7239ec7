#include "app/search_sim/search_request.h"

#include <algorithm>
#include <charconv>

#include "app/search_sim/corpus_names.h"
#include "services/boundary_text.h"

namespace oc::sim {
namespace {

// A non-negative decimal parameter, capped so that page arithmetic cannot overflow.
int numberParameter(std::string_view text, int fallback) {
    constexpr int kCap = 100000;
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < 0) {
        return error == std::errc::result_out_of_range ? kCap : fallback;
    }
    return std::min(value, kCap);
}

// The raw value of the first parameter named `key`, if present.
std::optional<std::string_view> rawParameter(std::string_view query, std::string_view key) {
    while (!query.empty()) {
        std::size_t amp = query.find('&');
        std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view{} : query.substr(amp + 1);
        std::size_t eq = pair.find('=');
        if (pair.substr(0, eq) == key) {
            return eq == std::string_view::npos ? std::string_view{} : pair.substr(eq + 1);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<SearchRequest> parseSearchTarget(std::string_view target) {
    std::size_t question = target.find('?');
    if (target.substr(0, question) != "/s" || question == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view query = target.substr(question + 1);
    std::size_t hash = query.find('#');
    query = query.substr(0, hash);
    auto pn = rawParameter(query, "pn");
    if (auto wd = rawParameter(query, "wd")) {
        int offset = pn ? numberParameter(percentDecode(*pn), 0) : 0;
        return SearchRequest{EngineForm::Baidu, utf8FromGbk(percentDecode(*wd)), offset};
    }
    if (auto q = rawParameter(query, "q")) {
        int page = pn ? std::max(1, numberParameter(percentDecode(*pn), 1)) : 1;
        // Ill-formed UTF-8 becomes U+FFFD, so what follows sees valid text only.
        return SearchRequest{EngineForm::So360, encodeUtf8(decodeUtf8(percentDecode(*q))),
                             (page - 1) * kResultsPerPage};
    }
    return std::nullopt;
}

}  // namespace oc::sim
