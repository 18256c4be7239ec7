// The host and the path of an absolute URL, as a request would use them.
#pragma once

#include <optional>
#include <string>

namespace oc {

struct UrlParts {
    std::string host;  // lower case
    std::string path;  // without the query string and the fragment
};

// Nothing for a text that is not an absolute URL with a host.
std::optional<UrlParts> splitUrl(const std::string& url);

}  // namespace oc
