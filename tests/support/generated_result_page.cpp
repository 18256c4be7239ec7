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

constexpr std::string_view kBaiduHead =
    "<!DOCTYPE html><html><head><meta http-equiv=\"content-type\" content=\"text/html;"
    "charset=utf-8\"><title>搜索结果</title><style>body{margin:0;font:13px arial}"
    ".result{width:560px;margin-bottom:14px}.t{font-size:medium;font-weight:400}"
    ".c-abstract{line-height:1.54em;word-wrap:break-word}em{color:#c00;font-style:normal}"
    ".f13{color:#008000}</style></head><body><div id=\"wrapper\"><div id=\"content_left\">\n";
constexpr std::string_view kBaiduTail =
    "</div><div id=\"page\"><strong>1</strong><a href=\"/s?pn=10\">2</a>"
    "<a href=\"/s?pn=20\">3</a><a class=\"n\" href=\"/s?pn=10\">下一页&gt;</a></div>"
    "<div id=\"foot\">帮助 举报 用户反馈</div></div></body></html>\n";
constexpr std::string_view k360Head =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>搜索结果_360搜索</title>"
    "<style>body{margin:0;font:13px arial}.res-list{width:560px;margin-bottom:14px}"
    ".res-title{font-size:medium;font-weight:400}.res-desc{line-height:1.54em}"
    "em{color:#c00;font-style:normal}cite{color:#008000}</style></head><body>"
    "<div id=\"warper\"><div id=\"main\"><ul class=\"result\">\n";
constexpr std::string_view k360Tail =
    "</ul><div id=\"page\"><strong>1</strong><a href=\"/s?q=&amp;pn=2\">2</a>"
    "<a href=\"/s?q=&amp;pn=3\">3</a><a id=\"snext\" href=\"/s?q=&amp;pn=2\">下一页&gt;</a>"
    "</div><div id=\"footer\">使用帮助 意见反馈</div></div></div></body></html>\n";
// Markup of one block besides its title, abstract text and fragment.
constexpr std::size_t kBlockMarkupBytes = 520;

// What one result shows, whichever engine's markup carries it.
struct ResultContent {
    int number = 0;
    std::string titleLink;  // key of the engine's own redirect
    std::string title;
    int day = 1;
    std::string abstractBefore;
    std::string fragment;
    std::string abstractAfter;
    std::string showLink;
    std::string site;
    std::string path;
};

// The date, then the abstract with its highlighted fragment.
void appendAbstract(std::string& page, const ResultContent& r) {
    page.append("2026年3月")
        .append(std::to_string(r.day))
        .append("日&nbsp;-&nbsp;</span>")
        .append(r.abstractBefore)
        .append("<em>")
        .append(r.fragment)
        .append("</em>")
        .append(r.abstractAfter);
}

// The target address as the result shows it, without its scheme.
std::string shownAddress(const ResultContent& r) {
    return std::string("www.").append(r.site).append(".com/").append(r.path).append(".html");
}

void appendBaiduBlock(std::string& page, const ResultContent& r) {
    page.append("<div class=\"result c-container\" id=\"")
        .append(std::to_string(r.number))
        .append(
            "\" srcid=\"1599\" tpl=\"se_com_default\"><h3 class=\"t\"><a "
            "href=\"http://www.baidu.com/link?url=")
        .append(r.titleLink)
        .append("\" target=\"_blank\">")
        .append(r.title)
        .append("</a></h3><div class=\"c-abstract\"><span class=\"newTimeFactor_before_abs m\">");
    appendAbstract(page, r);
    page.append(
            "</div><div class=\"f13\"><a target=\"_blank\" class=\"c-showurl\" "
            "href=\"http://www.baidu.com/link?url=")
        .append(r.showLink)
        .append("\">")
        .append(shownAddress(r))
        .append("</a></div></div>\n");
}

// 360's result: the target in the title link's data-mdurl, the link itself a
// redirect through the engine.
void append360Block(std::string& page, const ResultContent& r) {
    page.append("<li class=\"res-list\" data-lazyload=\"1\" data-index=\"")
        .append(std::to_string(r.number))
        .append("\"><h3 class=\"res-title\"><a href=\"https://www.so.com/link?m=")
        .append(r.titleLink)
        .append("\" data-mdurl=\"http://")
        .append(shownAddress(r))
        .append("\" target=\"_blank\">")
        .append(r.title)
        .append("</a></h3><p class=\"res-desc\"><span class=\"res-list-time\">");
    appendAbstract(page, r);
    page.append("</p><p class=\"g-linkinfo\"><cite>")
        .append(shownAddress(r))
        .append("</cite><a class=\"m\" href=\"https://www.so.com/link?m=")
        .append(r.showLink)
        .append("\">快照</a></p></li>\n");
}

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
    // Sized by Baidu's markup, so both markups carry the same text.
    const std::size_t fixed = kBaiduHead.size() + kBaiduTail.size();
    const std::size_t perBlock =
        shape.targetBytes > fixed ? (shape.targetBytes - fixed) / static_cast<std::size_t>(blocks)
                                  : 0;
    // Three bytes a character, less the title.
    const int abstractChars = std::max(
        20,
        static_cast<int>(perBlock > kBlockMarkupBytes ? (perBlock - kBlockMarkupBytes) / 3 : 0) -
            16);

    std::string page(shape.markup == ResultMarkup::So360 ? k360Head : kBaiduHead);
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
        // Drawn from the end of the block to its start, as the pages of
        // earlier versions were, so the Baidu page stays the same byte for byte.
        ResultContent result;
        result.number = i + 1;
        result.path = asciiWord(random, 10);
        result.site = asciiWord(random, 8);
        result.showLink = asciiWord(random, 43);
        result.abstractAfter = prose(random, abstractChars - before);
        result.fragment = std::move(fragment);
        result.abstractBefore = prose(random, before);
        result.day = random.between(1, 28);
        result.title = prose(random, 16);
        result.titleLink = asciiWord(random, 43);
        shape.markup == ResultMarkup::So360 ? append360Block(page, result)
                                            : appendBaiduBlock(page, result);
    }
    page += shape.markup == ResultMarkup::So360 ? k360Tail : kBaiduTail;
    return page;
}

}  // namespace oc::testing
