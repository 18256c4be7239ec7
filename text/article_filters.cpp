#include "text/article_filters.h"

namespace oc {

Text trim(const Text& text) {
    std::size_t first = 0;
    while (first < text.size() && isAsciiSpace(static_cast<unsigned char>(text[first]))) {
        ++first;
    }
    std::size_t end = text.size();
    while (end > first && isAsciiSpace(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    return text.substr(first, end - first);
}

Text keepNonAsciiChars(const Text& text, bool dropWhiteSpace,
                       std::vector<std::size_t>* sourceOffsets) {
    Text out;
    out.reserve(text.size());
    auto keep = [&](std::size_t from, std::size_t count) {
        out.append(text, from, count);
        if (sourceOffsets != nullptr) {
            for (std::size_t k = 0; k < count; ++k) {
                sourceOffsets->push_back(from + k);
            }
        }
    };
    for (std::size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (isLeadByte(byte)) {
            if (i + 1 >= text.size()) {
                break;  // a lone lead byte at the end is no character
            }
            keep(i, 2);
            i += 2;
            continue;
        }
        bool printable = byte >= 0x20 && byte <= 0x7F;
        if (!printable && !(dropWhiteSpace && isAsciiSpace(byte))) {
            keep(i, 1);
        }
        ++i;
    }
    return out;
}

Text prepareArticle(const Text& article) {
    return keepNonAsciiChars(trim(article), false);
}

}  // namespace oc
