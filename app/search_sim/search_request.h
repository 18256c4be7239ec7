// Reading a search query from the request target, in the Baidu and the 360 form.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "services/encoding.h"

namespace oc::sim {

enum class EngineForm { Baidu, So360 };

inline constexpr int kResultsPerPage = 10;

struct SearchRequest {
    EngineForm form = EngineForm::Baidu;
    std::string query;    // UTF-8
    int firstResult = 0;  // 0-based index of the first result on the page
};

// Decodes %XX escapes to bytes and "+" to a space; a "%" without two
// hexadecimal digits stays as it is.
using oc::percentDecode;

// "/s?wd=<percent-encoded GBK>[&pn=<offset>][&rn=..][&lm=..]" (Baidu) or
// "/s?q=<percent-encoded UTF-8>[&pn=<page, from 1>]" (360). The query string is
// decoded here, from the raw target, so GBK bytes reach the GBK decoder
// untouched. Anything else: no request.
std::optional<SearchRequest> parseSearchTarget(std::string_view target);

}  // namespace oc::sim
