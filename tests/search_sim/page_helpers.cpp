#include "tests/search_sim/page_helpers.h"

#include <regex>

namespace oc::sim::testing {

std::string encodeEveryByte(std::string_view bytes) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out += '%';
        out += hex[b >> 4];
        out += hex[b & 0x0F];
    }
    return out;
}

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
