#include "tests/support/long_article.h"

#include <string>

#include "tests/support/gbk.h"

namespace oc::testing {

Text longArticle(int chars) {
    static const char* const kPool[] = {"春", "天", "的", "早", "晨", "我",
                                        "们", "沿", "着", "河", "边", "走"};
    std::string utf8;
    utf8.reserve(static_cast<std::size_t>(chars) * 4);
    // Every character counts as the article is read: "，word " is 6, "。\r\n" 2.
    int count = 0;
    auto add = [&](const char* piece, int length) {
        if (count + length <= chars) {
            utf8 += piece;
            count += length;
        }
    };
    int i = 0;
    while (count < chars) {
        add(kPool[(i * 7 + i / 13) % 12], 1);
        if (i % 97 == 96) {
            add("，word ", 6);
        }
        if (i % 1000 == 999) {
            add("。\r\n", 2);
        }
        ++i;
    }
    return G(utf8);
}

}  // namespace oc::testing
