#include "tests/support/generated_result_page.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace oc::testing {
namespace {

// splitmix64: small, fast and the same on every platform and library.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number in [low, high].
    int between(int low, int high) {
        return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
    }

  private:
    std::uint64_t state_;
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Common ideographs, all in GBK; a page and its article share them.
char32_t ideograph(Random& random) {
    return static_cast<char32_t>(0x4E00 + random.between(0, 0x51A5 / 8) * 8 + random.between(0, 7));
}

// Running Chinese text of `chars` characters with commas and full stops.
std::string prose(Random& random, int chars) {
    std::string out;
    out.reserve(static_cast<std::size_t>(chars) * 3);
    for (int i = 0; i < chars; ++i) {
        if (i > 0 && random.between(0, 17) == 0) {
            appendUtf8(out, random.between(0, 2) == 0 ? U'。' : U'，');
        } else {
            appendUtf8(out, ideograph(random));
        }
    }
    return out;
}

std::string asciiWord(Random& random, int length) {
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string word;
    for (int i = 0; i < length; ++i) {
        word += kLetters[static_cast<std::size_t>(random.between(0, kLetters.size() - 1))];
    }
    return word;
}

// The article's characters, one code point each, for cutting runs out of it.
std::vector<char32_t> articleCodePoints(std::uint32_t seed, int chars) {
    Random random(seed * 7919ull + 17);
    std::vector<char32_t> points;
    points.reserve(static_cast<std::size_t>(chars) + static_cast<std::size_t>(chars) / 10);
    for (int i = 0; i < chars; ++i) {
        points.push_back(ideograph(random));
        if (random.between(0, 29) == 0) {
            points.push_back(random.between(0, 1) == 0 ? U'、' : U'。');
        }
        if (i % 400 == 399) {
            points.push_back(U'\n');
        }
    }
    return points;
}

constexpr int kArticleCharsForFragments = 5000;

constexpr std::string_view kHead =
    "<!DOCTYPE html><html><head><meta http-equiv=\"content-type\" content=\"text/html;"
    "charset=utf-8\"><title>搜索结果</title><style>body{margin:0;font:13px arial}"
    ".result{width:560px;margin-bottom:14px}.t{font-size:medium;font-weight:400}"
    ".c-abstract{line-height:1.54em;word-wrap:break-word}em{color:#c00;font-style:normal}"
    ".f13{color:#008000}</style></head><body><div id=\"wrapper\"><div id=\"content_left\">\n";
constexpr std::string_view kTail =
    "</div><div id=\"page\"><strong>1</strong><a href=\"/s?pn=10\">2</a>"
    "<a href=\"/s?pn=20\">3</a><a class=\"n\" href=\"/s?pn=10\">下一页&gt;</a></div>"
    "<div id=\"foot\">帮助 举报 用户反馈</div></div></body></html>\n";
// Markup of one block besides its title, abstract text and fragment.
constexpr std::size_t kBlockMarkupBytes = 520;

}  // namespace

std::string generatedArticleUtf8(std::uint32_t seed, int chars) {
    std::string out;
    for (char32_t c : articleCodePoints(seed, chars)) {
        appendUtf8(out, c);
    }
    return out;
}

std::string generatedResultPage(std::uint32_t seed, const GeneratedPageShape& shape) {
    Random random(seed);
    const std::vector<char32_t> article = articleCodePoints(seed, kArticleCharsForFragments);
    const int blocks = std::max(shape.blocks, 1);
    const std::size_t fixed = kHead.size() + kTail.size();
    const std::size_t perBlock =
        shape.targetBytes > fixed ? (shape.targetBytes - fixed) / static_cast<std::size_t>(blocks)
                                  : 0;
    // Three bytes a character, less the title.
    const int abstractChars = std::max(
        20,
        static_cast<int>(perBlock > kBlockMarkupBytes ? (perBlock - kBlockMarkupBytes) / 3 : 0) -
            16);

    std::string page(kHead);
    page.reserve(shape.targetBytes + shape.targetBytes / 8);
    for (int i = 0; i < blocks; ++i) {
        std::string fragment;
        if (i % 10 == 3) {
            // A long run the article holds, as a copied passage shows it.
            int length = random.between(30, 38);
            auto start = static_cast<std::size_t>(
                random.between(0, static_cast<int>(article.size()) - length - 1));
            for (int k = 0; k < length; ++k) {
                char32_t c = article[start + static_cast<std::size_t>(k)];
                if (c != U'\n') {
                    appendUtf8(fragment, c);
                }
            }
        } else {
            fragment = prose(random, random.between(2, 12));
        }
        const int before = random.between(0, abstractChars / 2);
        page += "<div class=\"result c-container\" id=\"" + std::to_string(i + 1) +
                "\" srcid=\"1599\" tpl=\"se_com_default\"><h3 class=\"t\"><a "
                "href=\"http://www.baidu.com/link?url=" +
                asciiWord(random, 43) + "\" target=\"_blank\">" + prose(random, 16) +
                "</a></h3><div class=\"c-abstract\"><span class=\"newTimeFactor_before_abs m\">"
                "2026年3月" +
                std::to_string(random.between(1, 28)) + "日&nbsp;-&nbsp;</span>" +
                prose(random, before) + "<em>" + fragment + "</em>" +
                prose(random, abstractChars - before) +
                "</div><div class=\"f13\"><a target=\"_blank\" class=\"c-showurl\" "
                "href=\"http://www.baidu.com/link?url=" +
                asciiWord(random, 43) + "\">www." + asciiWord(random, 8) + ".com/" +
                asciiWord(random, 10) + ".html</a></div></div>\n";
    }
    page += kTail;
    return page;
}

}  // namespace oc::testing
