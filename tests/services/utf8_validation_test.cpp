#include <gtest/gtest.h>

#include <string>

#include "services/boundary_text.h"

namespace oc {
namespace {

// Valid text with long ASCII stretches (read a word at a time) and characters
// of two, three and four bytes; one bad sequence put at every offset, so it
// falls at every place of an eight-byte word and right at the end.
TEST(Utf8Validation, FindsABadSequenceWhereverItLies) {
    const std::string valid =
        "<div class=\"result\">ab\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80"
        "<em>x</em></div>\n";
    ASSERT_TRUE(isValidUtf8(valid));
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8(valid + valid + "0123456789abcdef"));
    const std::string bad[] = {
        "\xFF",              // never in UTF-8
        "\x80",              // a continuation byte alone
        "\xC0\x80",          // an overlong form
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
        "\xE4\xB8",          // cut short
    };
    for (const std::string& sequence : bad) {
        for (std::size_t at = 0; at <= 24; ++at) {
            std::string text = std::string(at, 'a') + sequence + std::string(24 - at, 'b');
            EXPECT_FALSE(isValidUtf8(text)) << at;
            EXPECT_FALSE(isValidUtf8(std::string(at, 'a') + sequence)) << at;
        }
        // A multi-byte character just before it does not hide it.
        EXPECT_FALSE(isValidUtf8("\xE4\xB8\xAD" + sequence + "12345678"));
    }
}

}  // namespace
}  // namespace oc
