#include "app/search_sim/result_page.h"

#include <algorithm>

#include "app/search_sim/corpus_names.h"
#include "services/encoding.h"
#include "services/html_escape.h"

namespace oc::sim {
namespace {

// What differs between the two engines' pages.
struct PageShape {
    const char* engineName;
    const char* queryKey;
    const char* listOpen;
    const char* listClose;
    const char* itemOpen;  // followed by the result number and "\">"
    const char* itemClose;
    const char* titleClass;
    const char* abstractOpen;
    const char* abstractClose;
    const char* urlOpen;
    const char* urlClose;
    const char* countText;  // before the number of results
    const char* noResults;  // before the quoted query
};

const PageShape& shapeOf(EngineForm form) {
    static const PageShape baidu{"百度搜索",
                                 "wd",
                                 "<div id=\"content_left\">\n",
                                 "</div>\n",
                                 "<div class=\"result c-container\" id=\"",
                                 "</div>\n",
                                 "t",
                                 "<div class=\"c-abstract\">",
                                 "</div>\n",
                                 "<div class=\"f13\"><span class=\"c-showurl\">",
                                 "</span></div>\n",
                                 "百度为您找到相关结果约",
                                 "很抱歉，没有找到与"};
    static const PageShape so360{"360搜索",
                                 "q",
                                 "<ul class=\"result\" id=\"m-result\">\n",
                                 "</ul>\n",
                                 "<li class=\"res-list\" data-index=\"",
                                 "</li>\n",
                                 "res-title",
                                 "<p class=\"res-desc\">",
                                 "</p>\n",
                                 "<p class=\"res-linkinfo\"><cite>",
                                 "</cite></p>\n",
                                 "找到相关结果约",
                                 "抱歉，未找到和"};
    return form == EngineForm::Baidu ? baidu : so360;
}

// The opening of one result up to its title text, shaped as the engine's own:
// Baidu keeps the target in the block's mu and links the title through its
// /link?url= redirect; 360 links through its own /link and keeps the target in
// data-mdurl. Both redirects stay on the simulator's host.
std::string resultHeading(EngineForm form, std::size_t number, const std::string& url) {
    const PageShape& shape = shapeOf(form);
    const std::string redirect = urlEncode(url, true);
    if (form == EngineForm::Baidu) {
        return shape.itemOpen + std::to_string(number) + "\" tpl=\"www_index\" mu=\"" +
               escapeHtml(url) + "\">\n<h3 class=\"" + shape.titleClass +
               "\"><a href=\"/link?url=" + redirect + "\" target=\"_blank\">";
    }
    return shape.itemOpen + std::to_string(number) + "\">\n<h3 class=\"" + shape.titleClass +
           "\"><a href=\"/link?m=" + redirect + "\" data-mdurl=\"" + escapeHtml(url) +
           "\" target=\"_blank\">";
}

bool isLineBreak(char32_t c) {
    return c == U'\n' || c == U'\r' || c == U'\t';
}

}  // namespace

std::string highlightedHtml(std::u32string_view text, std::u32string_view queryKeys,
                            HighlightStyle style) {
    CodePoints keys = matchKeys(text);
    std::vector<SharedRun> runs = sharedRuns(keys, queryKeys);
    std::string out;
    CodePoints plain;
    auto flushPlain = [&] {
        out += escapeHtml(encodeUtf8(plain));
        plain.clear();
    };
    auto breaksAt = [&](std::size_t k) {
        return style == HighlightStyle::Engine && isPunctuationKey(keys[k]);
    };
    std::size_t next = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (next < runs.size() && runs[next].start == i) {
            // In the engines' style punctuation inside a run stands between two
            // highlights, outside both.
            const std::size_t end = i + runs[next++].length;
            while (i < end) {
                std::size_t stop = i;
                while (stop < end && !breaksAt(stop)) {
                    ++stop;
                }
                if (stop > i) {
                    flushPlain();
                    out += "<em>" + encodeUtf8(std::u32string_view(keys).substr(i, stop - i)) +
                           "</em>";
                }
                for (i = stop; i < end && breaksAt(i); ++i) {
                    plain += text[i];
                }
            }
            continue;
        }
        if (isLineBreak(text[i])) {
            if (plain.empty() || plain.back() != U' ') {
                plain += U' ';
            }
        } else {
            plain += text[i];
        }
        ++i;
    }
    flushPlain();
    return out;
}

CodePoints abstractOf(const CodePoints& body, std::u32string_view queryKeys) {
    SharedRun best = longestSharedRun(matchKeys(body), queryKeys);
    std::size_t width = std::max(kAbstractChars, best.length + 24);
    std::size_t start =
        best.length == 0 ? 0 : best.start - std::min(best.start, (width - best.length) / 3);
    std::size_t end = std::min(body.size(), start + width);
    if (end - start < width) {
        start = end > width ? end - width : 0;
    }
    CodePoints out = start > 0 ? U"..." : U"";
    out += std::u32string_view(body).substr(start, end - start);
    if (end < body.size()) {
        out += U"...";
    }
    return out;
}

std::string displayUrl(std::string_view fileName) {
    return "http://corpus.local/" + urlEncode(std::string(fileName), true);
}

std::string renderResultPage(const ResultPage& page) {
    const PageShape& shape = shapeOf(page.form);
    std::string query = escapeHtml(page.query);
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">\n<title>" + query +
        "_" + shape.engineName + "</title></head>\n<body>\n" +
        "<form id=\"form\" action=\"/s\"><input name=\"" + shape.queryKey + "\" value=\"" + query +
        "\"></form>\n";
    if (page.total == 0) {
        // Baidu echoes the query highlighted, as if it were a found run.
        std::string echoed = page.form == EngineForm::Baidu ? "<em>" + query + "</em>" : query;
        html += std::string("<div class=\"nors\">") + shape.noResults + "“" + echoed +
                "”相关的网页。</div>\n";
    } else {
        html += std::string("<div class=\"nums\">") + shape.countText + std::to_string(page.total) +
                "个</div>\n" + shape.listOpen;
        std::size_t number = page.firstResult;
        for (const Document* doc : page.documents) {
            std::string url = displayUrl(doc->fileName);
            html +=
                resultHeading(page.form, ++number, url) +
                highlightedHtml(doc->title, page.queryKeys, page.style) + "</a></h3>\n" +
                shape.abstractOpen +
                highlightedHtml(abstractOf(doc->body, page.queryKeys), page.queryKeys, page.style) +
                shape.abstractClose + shape.urlOpen + escapeHtml(url) + shape.urlClose +
                shape.itemClose;
        }
        html += shape.listClose;
    }
    html +=
        "<div id=\"foot\">search-sim：本地搜索模拟器，结果来自本地语料，不是互联网。</div>\n"
        "</body></html>\n";
    return html;
}

std::string renderCaptchaPage(EngineForm form) {
    std::string name = shapeOf(form).engineName;
    return "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">\n<title>" + name +
           "_安全验证</title></head>\n<body>\n<div "
           "class=\"verify\"><h2>网络不给力，请稍后重试</h2>\n"
           "<p>您的访问出现异常，请输入验证码后继续搜索。</p>\n"
           "<form action=\"/verify\"><img src=\"/captcha.png\" alt=\"验证码\">"
           "<input name=\"code\"><button>提交</button></form></div>\n</body></html>\n";
}

std::string renderVerificationPage(EngineForm form) {
    bool baidu = form == EngineForm::Baidu;
    return std::string(
               "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">\n"
               "<title>") +
           (baidu ? "百度安全验证" : "访问异常页面") +
           "</title></head>\n<body>\n<div class=\"verify\">" +
           (baidu ? "<p>请完成下方验证后继续操作</p><p>拖动左侧滑块使图片为正</p>"
                  : "<p>您的访问过于频繁，请输入验证码后继续使用。</p>") +
           "</div>\n</body></html>\n";
}

std::string renderNotFoundPage() {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>404 Not "
           "Found</title></head>\n"
           "<body><h1>404 Not Found</h1>\n<p>search-sim answers GET /s?wd=... (Baidu form, GBK) "
           "and GET /s?q=...&amp;pn=N (360 form, UTF-8).</p></body></html>\n";
}

}  // namespace oc::sim
