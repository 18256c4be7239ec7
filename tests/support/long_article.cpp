#include "tests/support/long_article.h"

#include <string>

#include "tests/support/gbk.h"

namespace oc::testing {

Text longArticle(int chars) {
    static const char* const kPool[] = {"春", "天", "的", "早", "晨", "我",
                                        "们", "沿", "着", "河", "边", "走"};
    std::string utf8;
    utf8.reserve(static_cast<std::size_t>(chars) * 4);
    for (int i = 0; i < chars; ++i) {
        utf8 += kPool[(i * 7 + i / 13) % 12];
        if (i % 97 == 96) {
            utf8 += "，word ";
        }
        if (i % 1000 == 999) {
            utf8 += "。\r\n";
        }
    }
    return G(utf8);
}

}  // namespace oc::testing
