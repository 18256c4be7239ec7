#include "corpus/local_keys.h"

#include "services/boundary_text.h"
#include "text/article_filters.h"

namespace oc::corpus {

CodePoints localKeys(const Text& gbk) {
    CodePoints keys = decodeUtf8(utf8FromGbk(gbk));
    std::size_t kept = 0;
    for (char32_t c : keys) {
        char32_t key = matchKey(c);
        if (key >= 0x80 && key != kReplacementChar) {
            keys[kept++] = key;
        }
    }
    keys.resize(kept);
    keys.shrink_to_fit();
    return keys;
}

CodePoints documentKeys(const Text& gbk) {
    return localKeys(prepareArticle(gbk));
}

}  // namespace oc::corpus
