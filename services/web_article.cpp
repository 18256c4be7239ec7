#include "services/web_article.h"

#include "services/boundary_text.h"
#include "services/html_text.h"
#include "services/url_parts.h"

namespace oc {
namespace {

WebArticle failed(std::string_view why) {
    WebArticle out;
    out.problem = gbkFromUtf8(std::string("网页无法打开：").append(why));
    return out;
}

const char* failureText(FetchFailure failure) {
    switch (failure) {
        case FetchFailure::BadUrl:
            return "不是有效的网址（只支持 http 和 https）";
        case FetchFailure::ConnectionRefused:
            return "连接被拒绝";
        case FetchFailure::NameNotResolved:
            return "找不到该网站";
        case FetchFailure::TimedOut:
        case FetchFailure::Stalled:
            return "连接超时";
        case FetchFailure::TooManyRedirects:
            return "重定向次数过多";
        case FetchFailure::Aborted:
            return "已停止";
        default:
            return "连接中断";
    }
}

}  // namespace

WebArticle webArticleFromPage(const std::string& url, const FetchReport& page) {
    if (!page.arrived()) {
        return failed(failureText(page.failure));
    }
    if (page.status < 200 || page.status >= 300) {
        return failed("服务器返回 HTTP " + std::to_string(page.status));
    }
    if (page.cutShort) {
        return failed("网页没有完整收到");
    }
    WebArticle out;
    const std::string finalUrl = page.redirects.empty() ? url : page.redirects.back().target;
    out.site = urlHost(finalUrl);
    const std::string_view body(page.body.data(), page.body.size());
    if (page.contentType.starts_with("text/plain")) {
        out.article = decodeArticle(body);
        return out;
    }
    HtmlText text = mainHtmlText(htmlPageUtf8(body, page.contentType));
    if (text.text.empty()) {
        return failed("网页里没有找到正文");
    }
    out.article = articleFromUtf8(text.text);
    out.title = std::move(text.title);
    return out;
}

std::string webPageNote(const std::string& url, const std::string& site) {
    return "网页：" + url + "（网页所在网站 " + site + " 的结果不计入本次检测）";
}

WebArticle fetchWebArticle(const std::string& url, const FetchLimits& limits) {
    if (!isWebAddress(url)) {
        return failed(failureText(FetchFailure::BadUrl));
    }
    return webArticleFromPage(url, fetchPage(gbkFromUtf8(url), limits));
}

}  // namespace oc
