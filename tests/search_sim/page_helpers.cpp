#include "tests/search_sim/page_helpers.h"

#include <regex>

namespace oc::sim::testing {

std::vector<std::string> emFragments(const std::string& html) {
    std::vector<std::string> out;
    std::regex em("<em>(.*?)</em>");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), em); it != std::sregex_iterator();
         ++it) {
        out.push_back((*it)[1]);
    }
    return out;
}

}  // namespace oc::sim::testing
