// Reading the bytes of an article from a file, a device or standard input,
// never more than the article limit allows.
#pragma once

#include <string>

namespace oc {

struct ArticleBytes {
    // 0, or the errno of what went wrong (EISDIR for a folder).
    int error = 0;
    // At most kMaxArticleBytes + 1 bytes: one byte more than the limit shows
    // that the input is too large without reading the rest of it.
    std::string bytes;
};

ArticleBytes readArticleBytes(int fd);
// A file or device by its native name.
ArticleBytes readArticleFile(const std::string& nativePath);

}  // namespace oc
