#include "app/search_sim/search_service.h"

#include <chrono>
#include <cstdio>

#include "app/search_sim/result_page.h"
#include "services/encoding.h"

namespace oc::sim {
namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";

Answer htmlAnswer(int status, std::string body, std::string logLine) {
    Answer answer;
    answer.status = status;
    answer.contentType = kHtml;
    answer.body = std::move(body);
    answer.logLine = std::move(logLine);
    return answer;
}

const char* engineLabel(EngineForm form) {
    return form == EngineForm::Baidu ? "baidu" : "360";
}

const char* blockLabel(BlockKind kind) {
    switch (kind) {
        case BlockKind::Empty:
            return "empty body";
        case BlockKind::Captcha:
            return "captcha page";
        case BlockKind::InvalidUtf8:
            return "invalid UTF-8";
        case BlockKind::CaptchaRedirect:
            return "302 to the captcha";
        case BlockKind::CaptchaPage:
            return "verification page";
        case BlockKind::Status429:
            return "429";
    }
    return "";
}

std::string describe(const SearchRequest& request) {
    std::string text = std::string(engineLabel(request.form)) + " results " +
                       std::to_string(request.firstResult + 1) + "-" +
                       std::to_string(request.firstResult + kResultsPerPage) + " \"";
    for (char c : request.query) {
        text += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    }
    return text + "\"";
}

// "#N engine results a-b "query"", the head of a log line; built by appending,
// since GCC 12 at -O3 wrongly warns about "literal" + std::string&&.
std::string queryLabel(long long number, const SearchRequest& request) {
    std::string label = "#";
    label.append(std::to_string(number)).append(" ").append(describe(request));
    return label;
}

Answer blockedAnswer(BlockKind kind, EngineForm form, std::string_view target) {
    switch (kind) {
        case BlockKind::CaptchaRedirect: {
            Answer answer = htmlAnswer(302, "", "");
            answer.location = std::string(kCaptchaPath) +
                              "?ak=sim&backurl=" + urlEncode(std::string(target), true);
            return answer;
        }
        case BlockKind::CaptchaPage:
            return htmlAnswer(200, renderVerificationPage(form), "");
        case BlockKind::Status429:
            return htmlAnswer(429, "<html><body>Too Many Requests</body></html>\n", "");
        case BlockKind::Empty:
            return htmlAnswer(200, "", "");
        case BlockKind::Captcha:
            return htmlAnswer(200, renderCaptchaPage(form), "");
        case BlockKind::InvalidUtf8: {
            std::string page = renderCaptchaPage(form);
            page.insert(page.find("<body>") + 6, "\xFF\xFE\xC0\xAF\xED\xA0\x80");
            return htmlAnswer(200, page, "");
        }
    }
    return {};
}

}  // namespace

SearchService::SearchService(std::vector<Document> documents, Blocking blocking,
                             HighlightStyle style)
    : documents_(std::move(documents)), index_(documents_), blocking_(blocking), style_(style) {}

Answer SearchService::answer(std::string_view target, std::string_view client) {
    if (target.substr(0, kCaptchaPath.size()) == kCaptchaPath) {
        return htmlAnswer(200, renderCaptchaPage(EngineForm::Baidu), "captcha page");
    }
    auto request = parseSearchTarget(target);
    if (!request) {
        return htmlAnswer(404, renderNotFoundPage(), "404 " + std::string(target.substr(0, 200)));
    }
    long long number = ++queries_;
    if (blocking_.after >= 0 && number > blocking_.after) {
        Answer blocked = blockedAnswer(blocking_.kind, request->form, target);
        blocked.logLine =
            queryLabel(number, *request) + ": blocked (" + blockLabel(blocking_.kind) + ")";
        return blocked;
    }
    if (limiter_ && limiter_->enabled() &&
        !limiter_->admit(std::string(client).append(" ").append(engineLabel(request->form)),
                         RateLimiter::Clock::now())) {
        Answer blocked = blockedAnswer(blocking_.kind, request->form, target);
        blocked.logLine = queryLabel(number, *request) + ": blocked by the rate limit (" +
                          blockLabel(blocking_.kind) + ")";
        return blocked;
    }
    auto started = std::chrono::steady_clock::now();
    Answer result = search(*request);
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    char timing[32];
    std::snprintf(timing, sizeof timing, ", %.2f ms", ms);
    result.logLine = queryLabel(number, *request) + ": " + result.logLine + timing;
    return result;
}

Answer SearchService::search(const SearchRequest& request) const {
    CodePoints query = decodeUtf8(request.query);
    ResultPage page;
    page.form = request.form;
    page.style = style_;
    page.query = request.query;
    page.queryKeys = matchKeys(std::u32string_view(query).substr(0, kMaxQueryChars));
    page.firstResult = static_cast<std::size_t>(request.firstResult);
    Ranking ranking = index_.rank(page.queryKeys, page.firstResult + kResultsPerPage);
    page.total = ranking.total;
    for (std::size_t i = page.firstResult; i < ranking.best.size(); ++i) {
        page.documents.push_back(&documents_[ranking.best[i].document]);
    }
    std::string summary = std::to_string(ranking.total) + " documents";
    if (!page.documents.empty()) {
        summary += ", longest run " + std::to_string(ranking.best[page.firstResult].longestRun) +
                   " in " + page.documents.front()->fileName;
    }
    return htmlAnswer(200, renderResultPage(page), summary);
}

}  // namespace oc::sim
