// A result page that is not UTF-8 is read in the charset its Content-Type
// header or its meta tag declares; the declarations are read from hostile
// markup without trusting it.
#include <gtest/gtest.h>

#include "services/encoding.h"
#include "services/page_decoding.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {

using testing::G;

std::string big5(const std::string& utf8) {
    bool ok = false;
    ByteSet bytes = convertEncoding(ByteSet(utf8), "UTF-8", "BIG5", &ok);
    EXPECT_TRUE(ok);
    return bytes.bytes();
}

// The page as the passes read it (appendPageUtf8), then as GB18030 text.
bool readAsGb18030(std::string_view body, std::string_view contentType, std::string& out) {
    std::string utf8;
    if (!appendPageUtf8(body, contentType, utf8)) {
        return false;
    }
    appendGb18030(utf8, out);
    return true;
}

TEST(PageDecoding, TheCharsetParameterOfAContentTypeValue) {
    const std::pair<const char*, const char*> cases[] = {
        {"text/html; charset=gbk", "gbk"},
        {"text/html;charset=\"GB2312\"", "GB2312"},
        {"TEXT/HTML ; Charset = big5 ; q=1", "big5"},
        {"charset=gb18030", "gb18030"},
        {"text/html", ""},
        {"text/html; xcharset=gbk", ""},  // another parameter's name
        {"text/html; charset", ""},       // no value
        {"text/html; foo=1; charset='utf-8'", "utf-8"},
        {"", ""},
    };
    for (const auto& [value, charset] : cases) {
        EXPECT_EQ(charsetParameter(value), charset) << value;
    }
}

TEST(PageDecoding, TheChineseCharsetsAreKnownAndOthersAreNot) {
    for (const char* name : {"gbk", "GB2312", " gb18030 ", "\"x-gbk\"", "cp936"}) {
        EXPECT_EQ(pageCharsetCode(name), "GB18030") << name;
    }
    EXPECT_EQ(pageCharsetCode("Big5"), "BIG5-HKSCS");
    for (const char* name : {"", "utf-8", "shift_jis", "gbk2", "gb", "//IGNORE"}) {
        EXPECT_EQ(pageCharsetCode(name), "") << name;
    }
}

TEST(PageDecoding, TheMetaTagOfThePageHead) {
    EXPECT_EQ(metaCharset("<html><head><meta charset=gbk><title>x</title>"), "gbk");
    EXPECT_EQ(metaCharset("<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; "
                          "charset=gb2312\">"),
              "gb2312");
    // The first meta that declares one; others are passed over.
    EXPECT_EQ(metaCharset("<meta name=keywords content=\"charset=big5\">"
                          "<meta http-equiv=refresh content=\"0; charset=big5\">"
                          "<meta charset='big5'>"),
              "big5");
    // Non-ASCII bytes around the tag, unclosed markup and a head cut short.
    EXPECT_EQ(metaCharset(G("<title>原创") + "\xFF\x80<meta charset=gbk"), "gbk");
    EXPECT_EQ(metaCharset("<p>no meta at all</p>"), "");
    EXPECT_EQ(metaCharset(""), "");
    // A declaration beyond the scanned head does not count.
    EXPECT_EQ(metaCharset(std::string(kMetaScanBytes, ' ') + "<meta charset=gbk>"), "");
}

TEST(PageDecoding, APageIsReadAsUtf8ElseInTheCharsetItDeclares) {
    const std::string html = "<em>原創文章</em>";  // in GBK and in Big5 alike
    struct Case {
        const char* name;
        std::string body;
        const char* contentType;
        bool decodes;
    };
    const Case cases[] = {
        {"UTF-8 under any header", html, "text/html; charset=gbk", true},
        {"GBK by the header", G(html), "text/html; charset=GBK", true},
        {"GBK by the meta under a UTF-8 header", "<meta charset=gb2312>" + G(html),
         "text/html; charset=utf-8", true},
        {"Big5 by the header", big5(html), "text/html; charset=big5", true},
        {"undeclared", G(html), "text/html", false},
        {"declared, yet invalid there too", G(html) + "\xFF\xFF", "text/html; charset=gbk", false},
        {"a charset not read", G(html), "text/html; charset=shift_jis", false},
    };
    for (const Case& c : cases) {
        std::string out = "kept";
        EXPECT_EQ(readAsGb18030(c.body, c.contentType, out), c.decodes) << c.name;
        if (c.decodes) {
            const std::string expected =
                std::string_view(c.name).find("meta") != std::string_view::npos
                    ? "<meta charset=gb2312>" + G(html)
                    : G(html);
            EXPECT_EQ(out, "kept" + expected) << c.name;
        } else {
            EXPECT_EQ(out, "kept") << c.name;
        }
    }
}

TEST(PageDecoding, AnIconFontCharacterGb18030LacksDoesNotCostTheWholePage) {
    // U+E793: a private use code point GB18030-2022 no longer maps; U+FE13 beside it has a form.
    std::string out;
    ASSERT_TRUE(readAsGb18030("<i>\uE793</i><em>原创\uFE13文章</em>", "text/html", out));
    EXPECT_EQ(out, G("<i>?</i><em>原创") + "\xA6\xDC" + G("文章</em>"));
    out.clear();
    EXPECT_FALSE(readAsGb18030("\uE793\xFF", "text/html", out)) << "not UTF-8 after all";
    EXPECT_EQ(out, "");
    // Whether the GB18030 text holds every character of the UTF-8 one: only
    // then does it convert back to the same bytes.
    EXPECT_FALSE(appendGb18030("<i>\uE793</i>", out));
    EXPECT_EQ(out, "<i>?</i>");
    out.clear();
    EXPECT_FALSE(appendGb18030("a\xFF", out));
    out.clear();
    EXPECT_TRUE(appendGb18030("原创\uFE13😀", out));
    EXPECT_EQ(out, G("原创") + "\xA6\xDC" + "\x94\x39\xFC\x36");
}

TEST(PageDecoding, AReadPageIsTheAppendedOneWhetherMovedOrDecoded) {
    const std::string utf8 = std::string("<em>甲\0乙</em>", 16);
    for (const auto& [body, contentType] :
         {std::pair{utf8, "text/html"}, std::pair{G(utf8), "text/html; charset=gbk"},
          std::pair{G(utf8) + "\xFF", "text/html"}}) {
        std::string appended;
        const bool decodes = appendPageUtf8(body, contentType, appended);
        std::string moved = body;
        std::string read = "the text of an earlier page";
        EXPECT_EQ(readPageUtf8(moved, contentType, read), decodes) << contentType;
        EXPECT_EQ(read, appended) << contentType;
    }
}

TEST(PageDecoding, ZeroBytesAreDroppedAndTheTextGoesOnInEveryCharset) {
    std::string out;
    ASSERT_TRUE(readAsGb18030(std::string("甲\0乙\0\0", 9), "", out));
    EXPECT_EQ(out, G("甲乙"));
    out.clear();
    ASSERT_TRUE(
        readAsGb18030(G("甲") + std::string(1, '\0') + G("乙"), "text/html; charset=gbk", out));
    EXPECT_EQ(out, G("甲乙"));
    std::string body = std::string("\0<em>丙</em>", 13);
    ASSERT_TRUE(readPageUtf8(body, "", out));
    EXPECT_EQ(out, "<em>丙</em>");
}

}  // namespace
}  // namespace oc
