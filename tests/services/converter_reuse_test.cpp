// Converters are kept per thread and reused: no conversion may see what an
// earlier one left behind, whatever it converted and however it ended.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "services/encoding.h"

namespace oc {
namespace {

ByteSet bytes(std::string_view s) {
    return ByteSet(std::string(s));
}

TEST(ConverterReuse, EachConversionStartsFromTheInitialState) {
    // A stateful target: the shift into JIS X 0208 must be written again.
    const ByteSet first = convertEncoding(bytes("日本"), "UTF-8", "ISO-2022-JP");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.view().substr(0, 3), "\x1B$B");
    EXPECT_EQ(convertEncoding(bytes("日本"), "UTF-8", "ISO-2022-JP"), first);

    // A conversion that failed inside a character, or on a bad byte, leaves
    // nothing for the next one.
    bool ok = true;
    EXPECT_TRUE(convertEncoding(bytes("abc\xE5\x8E"), "UTF-8", "GB18030", &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_EQ(convertEncoding(bytes("\x9F原"), "UTF-8", "GB18030", &ok), ByteSet());
    EXPECT_EQ(convertEncoding(bytes("原创"), "UTF-8", "GB18030", &ok), bytes("\xD4\xAD\xB4\xB4"));
    EXPECT_TRUE(ok);
}

TEST(ConverterReuse, ManyPairsOfNamesOnOneThread) {
    // More pairs than a thread keeps, twice round, and the names in other cases.
    const char* targets[] = {"GB18030", "GBK", "UTF-16LE", "UTF-32BE", "BIG5", "gb18030", "CP936"};
    for (int round = 0; round < 2; ++round) {
        for (const char* target : targets) {
            ByteSet there = convertEncoding(bytes("中文abc"), "UTF-8", target);
            ASSERT_FALSE(there.empty()) << target;
            EXPECT_EQ(convertEncoding(there, target, "UTF-8"), bytes("中文abc")) << target;
        }
    }
}

TEST(ConverterReuse, ThreadsConvertAtTheSameTime) {
    std::string page;
    for (int i = 0; i < 2000; ++i) {
        page += "原创度检测<em>";
    }
    const ByteSet expected = convertEncoding(bytes(page), "UTF-8", "GB18030");
    std::vector<int> wrong(4, 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < wrong.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i) {
                // The other pair on this thread in between, as the 360 pass does.
                if (gbkToUtf8("\xD4\xAD") != "原") {
                    ++wrong[t];
                }
                if (convertEncoding(bytes(page), "UTF-8", "GB18030") != expected) {
                    ++wrong[t];
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST(AppendConverted, AppendsOrLeavesTheTextAsItWas) {
    std::string out = "GBK:";
    EXPECT_TRUE(appendConverted("原创", "UTF-8", "GB18030", out));
    EXPECT_EQ(out, "GBK:\xD4\xAD\xB4\xB4");
    EXPECT_TRUE(appendConverted("", "UTF-8", "GB18030", out));
    EXPECT_EQ(out, "GBK:\xD4\xAD\xB4\xB4");

    // Failing after the output has been enlarged, and on an unknown name.
    std::string chinese;
    for (int i = 0; i < 1000; ++i) {
        chinese += "\xD4\xAD";
    }
    EXPECT_FALSE(appendConverted(chinese + "\xFF", "GB18030", "UTF-8", out));
    EXPECT_FALSE(appendConverted("abc", "UTF-8", "NO-SUCH-CODE", out));
    EXPECT_EQ(out, "GBK:\xD4\xAD\xB4\xB4");

    // Growth counts from the appended input, not from what the text held.
    EXPECT_TRUE(appendConverted(chinese, "GB18030", "UTF-8", out));
    EXPECT_EQ(out.size(), 8u + 3000u);
}

}  // namespace
}  // namespace oc
