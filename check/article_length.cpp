#include "check/article_length.h"

#include "services/text_types.h"

namespace oc {

std::size_t articleLength(std::string_view gbk) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < gbk.size(); ++chars) {
        const bool pair =
            i + 1 < gbk.size() && (isLeadByte(gbk[i]) || (gbk[i] == '\r' && gbk[i + 1] == '\n'));
        i += pair ? 2 : 1;
    }
    return chars;
}

}  // namespace oc
