#include "check/page_class.h"

#include <algorithm>
#include <utility>

#include "check/highlight.h"
#include "services/ascii_case.h"
#include "services/boundary_text.h"
#include "services/conversions.h"
#include "services/encoding.h"
#include "services/page_decoding.h"
#include "services/text_ops.h"
#include "services/url_parts.h"

namespace oc {
namespace {

constexpr long kForbidden = 403;
constexpr long kTooManyRequests = 429;
constexpr long kFirstErrorStatus = 400;
// The no-results sentence ends at "。", at a tag other than em, or here.
constexpr std::size_t kMaxSentenceBytes = 600;

// The fixed texts of this file, as GBK.
struct PageTexts {
    Text unreachable = gbkFromUtf8("无法连接");
    Text timedOut = gbkFromUtf8("超时");
    Text tooManyRedirects = gbkFromUtf8("重定向过多");
    Text emptyPage = gbkFromUtf8("空白页面");
    Text httpStatus = gbkFromUtf8("HTTP 状态码 ");
    Text blocked = gbkFromUtf8("屏蔽/验证码");
    Text noHighlight = gbkFromUtf8("页面无飘红");
    Text cancelled = gbkFromUtf8("已取消");
    Text refused = gbkFromUtf8("连接被拒绝");
    Text notResolved = gbkFromUtf8("无法解析主机名");
    Text connectTimeout = gbkFromUtf8("连接超时");
    Text stalled = gbkFromUtf8("服务器长时间没有应答");
    Text closed = gbkFromUtf8("连接被服务器关闭");
    Text badUrl = gbkFromUtf8("地址无效");
    Text aborted = gbkFromUtf8("查询已中止");
    Text networkError = gbkFromUtf8("网络错误");
    Text headersTooLarge = gbkFromUtf8("响应头过大");
    Text pageTimedOut = gbkFromUtf8("页面未在时限内收完");
    Text wrongEncoding = gbkFromUtf8("页面编码与声明不符");
    Text incomplete = gbkFromUtf8("页面不完整");
    Text fullStop = gbkFromUtf8("。");
};

const PageTexts& texts() {
    static const PageTexts t;
    return t;
}

// The reason and, for a page that never arrived, what went wrong.
std::pair<Text, Text> failureTexts(FetchFailure failure) {
    const PageTexts& t = texts();
    switch (failure) {
        case FetchFailure::ConnectionRefused:
            return {t.unreachable, t.refused};
        case FetchFailure::NameNotResolved:
            return {t.unreachable, t.notResolved};
        case FetchFailure::TimedOut:
            return {t.timedOut, t.connectTimeout};
        case FetchFailure::Stalled:
            return {t.timedOut, t.stalled};
        case FetchFailure::Closed:
            return {t.unreachable, t.closed};
        case FetchFailure::BadUrl:
            return {t.unreachable, t.badUrl};
        case FetchFailure::TooManyRedirects:
            return {t.tooManyRedirects, Text()};
        case FetchFailure::HeadersTooLarge:
            return {t.headersTooLarge, t.headersTooLarge};
        case FetchFailure::PageTimedOut:
            return {t.timedOut, t.pageTimedOut};
        case FetchFailure::Aborted:
            return {t.cancelled, t.aborted};
        case FetchFailure::None:
        case FetchFailure::Other:
            break;
    }
    return {t.unreachable, t.networkError};
}

ClassifiedPage failed(Text reason) {
    ClassifiedPage page;
    page.pageClass = PageClass::Failed;
    page.reason = std::move(reason);
    return page;
}

ClassifiedPage blocked() {
    ClassifiedPage page;
    page.pageClass = PageClass::Blocked;
    page.reason = unverified_reason::blocked();
    return page;
}

// A page without text that keeps the memory of `storage` for the next page.
ClassifiedPage withStorage(ClassifiedPage page, Text storage) {
    storage.clear();
    page.text = std::move(storage);
    return page;
}

// The table's GBK texts as UTF-8, to be sought in a page's UTF-8 text.
std::vector<std::string> utf8Forms(const TextList& texts) {
    std::vector<std::string> forms;
    forms.reserve(texts.size());
    for (const Text& text : texts) {
        std::string form;
        forms.push_back(appendConverted(text, "GB18030", "UTF-8", form) ? std::move(form)
                                                                        : utf8FromGbk(text));
    }
    return forms;
}

bool holdsAny(std::string_view utf8, const TextList& needles) {
    const std::vector<std::string> forms = utf8Forms(needles);
    return std::any_of(forms.begin(), forms.end(), [&](const std::string& needle) {
        return utf8.find(needle) != std::string_view::npos;
    });
}

// The text of the page's first <title> element; empty without one.
Text titleOf(const Text& page) {
    std::string lower = lowerAscii(page);
    std::size_t open = lower.find("<title");
    if (open == std::string::npos) {
        return {};
    }
    std::size_t start = lower.find('>', open);
    if (start == std::string::npos) {
        return {};
    }
    std::size_t end = lower.find("</title", start);
    return page.substr(start + 1, end == std::string::npos ? Text::npos : end - start - 1);
}

// Where the no-results sentences lie: from each phrase to the first "。", to
// a tag other than em, or a bounded length.
std::vector<std::pair<std::size_t, std::size_t>> noResultsSentences(const EngineTable& table,
                                                                    const Text& page) {
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    const Text& stop = texts().fullStop;
    for (const Text& phrase : table.noResultsPhrases) {
        for (std::size_t at = page.find(phrase); at != Text::npos;
             at = page.find(phrase, at + phrase.size())) {
            std::size_t end = at + phrase.size();
            std::size_t limit = std::min(page.size(), at + kMaxSentenceBytes);
            while (end < limit) {
                if (page.compare(end, stop.size(), stop) == 0) {
                    break;
                }
                if (page[end] == '<') {
                    std::string tag = lowerAscii(page.substr(end, 5));
                    if (tag.rfind("<em>", 0) != 0 && tag.rfind("</em>", 0) != 0) {
                        break;
                    }
                }
                end += isLeadByte(page[end]) ? 2 : 1;
            }
            spans.emplace_back(at, end);
        }
    }
    return spans;
}

// A page that says it found nothing, whose highlighted fragments (if any) all
// lie in that sentence: the echoed query. `page` is the GB18030 text.
bool isNoResultsText(const EngineTable& table, const Text& page, const RegexMatchList& matches) {
    auto spans = noResultsSentences(table, page);
    if (spans.empty()) {
        return false;
    }
    return std::all_of(matches.begin(), matches.end(), [&](const RegexMatch& match) {
        const MatchSpan& whole = match.spans().front();
        auto start = static_cast<std::size_t>(whole.start);
        auto end = start + static_cast<std::size_t>(whole.length);
        return std::any_of(spans.begin(), spans.end(), [&](const auto& span) {
            return start >= span.first && end <= span.second;
        });
    });
}

// The same for a page's UTF-8 text. Only a page holding one of the phrases is
// read as GB18030, where the sentences are measured as they always were.
bool isNoResultsPage(const EngineTable& table, const std::string& utf8,
                     const RegexMatchList& matches) {
    // Every fragment of such a page lies in a sentence, which ends at most
    // kMaxSentenceBytes (or its phrase) after the phrase begins, in GB18030
    // bytes: at most three times as many in UTF-8 (a character GB18030 lacks
    // is one "?" there). So the phrase of the first fragment's sentence lies
    // within that reach of the fragment's end.
    std::string_view scope = utf8;
    if (!matches.empty()) {
        std::size_t longest = kMaxSentenceBytes;
        for (const Text& phrase : table.noResultsPhrases) {
            longest = std::max(longest, phrase.size());
        }
        const std::size_t reach = 3 * longest + 2;
        const MatchSpan& first = matches.front().spans().front();
        const auto start = static_cast<std::size_t>(first.start);
        const std::size_t end = start + static_cast<std::size_t>(first.length);
        const std::size_t from = end > reach ? end - reach : 0;
        scope = scope.substr(from, end + reach - from);
    }
    if (!holdsAny(scope, table.noResultsPhrases)) {
        return false;
    }
    Text page;
    appendGb18030(utf8, page);
    return isNoResultsText(table, page, highlightsOf(table, page).matches);
}

}  // namespace

namespace unverified_reason {
const Text& blocked() {
    return texts().blocked;
}
const Text& noHighlight() {
    return texts().noHighlight;
}
const Text& cancelled() {
    return texts().cancelled;
}

}  // namespace unverified_reason

Text cutReason(const FetchReport& report) {
    if (!report.cutShort) {
        return Text();
    }
    return report.timedOut ? texts().timedOut : texts().incomplete;
}

HighlightScan highlightsOf(const EngineTable& table, const std::string& text) {
    return findHighlights(text, table.highlightCaseSensitive);
}

bool isVerificationRedirect(const EngineTable& table, const std::string& target) {
    const std::string host = urlHost(target);
    return std::find(table.verificationHosts.begin(), table.verificationHosts.end(), host) !=
               table.verificationHosts.end() ||
           lowerAscii(urlPath(target)).find("captcha") != std::string::npos;
}

ClassifiedPage classifyPage(const EngineTable& table, FetchReport& report, Text storage) {
    if (!report.arrived()) {
        auto [reason, failure] = failureTexts(report.failure);
        ClassifiedPage page = withStorage(failed(reason), std::move(storage));
        // Too many redirects: responses came, only no page at their end.
        page.arrived = report.failure == FetchFailure::TooManyRedirects;
        // Connected, and what came was no usable answer.
        page.answered = report.failure == FetchFailure::HeadersTooLarge ||
                        report.failure == FetchFailure::PageTimedOut;
        page.failure = failure;
        return page;
    }
    if (report.redirectRefused || report.status == kForbidden ||
        report.status == kTooManyRequests) {
        return withStorage(blocked(), std::move(storage));
    }
    if (report.status >= kFirstErrorStatus) {
        return withStorage(
            failed(texts().httpStatus + toText(static_cast<std::int32_t>(report.status))),
            std::move(storage));
    }
    // An empty page gives no text; one that decodes in no way it declares
    // either, unless it was cut inside a character.
    std::string text = std::move(storage);
    const bool empty = report.body.empty();
    if (!readPageUtf8(report.body.bytes(), report.contentType, text)) {
        const Text& reason = empty             ? texts().emptyPage
                             : report.cutShort ? texts().incomplete
                                               : texts().wrongEncoding;
        return withStorage(failed(reason), std::move(text));
    }
    if (text.empty()) {
        return withStorage(failed(texts().emptyPage), std::move(text));
    }
    // A result page's title echoes the query, which may name a block title
    // itself; such a page has highlighted fragments, a block page none.
    HighlightScan highlights = highlightsOf(table, text);
    if (highlights.matches.empty() &&
        (holdsAny(titleOf(text), table.blockTitles) || holdsAny(text, table.bodyMarkers))) {
        return withStorage(blocked(), std::move(text));
    }
    ClassifiedPage page;
    if (isNoResultsPage(table, text, highlights.matches)) {
        page.pageClass = PageClass::NoResults;
    } else {
        page.pageClass = PageClass::ResultPage;
        page.highlights = std::move(highlights.matches);
        page.highlightsCut = highlights.cut;
    }
    page.text = std::move(text);
    return page;
}

}  // namespace oc
