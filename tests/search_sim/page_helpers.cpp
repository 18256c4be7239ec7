#include "tests/search_sim/page_helpers.h"

namespace oc::sim::testing {

std::vector<std::string> emFragments(const std::string& html) {
    std::vector<std::string> out;
    for (std::size_t open = html.find("<em>"); open != std::string::npos;
         open = html.find("<em>", open)) {
        std::size_t close = html.find("</em>", open + 4);
        if (close == std::string::npos) {
            break;
        }
        out.push_back(html.substr(open + 4, close - open - 4));
        open = close + 5;
    }
    return out;
}

}  // namespace oc::sim::testing
