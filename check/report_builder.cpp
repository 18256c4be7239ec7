#include "check/report_builder.h"

#include <algorithm>
#include <ctime>

#include "check/check_store.h"
#include "check/pass_steps.h"
#include "services/boundary_text.h"

namespace oc {
namespace {

RowStatus rowStatusOf(SegmentStatus status) {
    switch (status) {
        case SegmentStatus::Hit:
            return RowStatus::Hit;
        case SegmentStatus::Original:
            return RowStatus::Original;
        case SegmentStatus::Skipped:
            return RowStatus::Skipped;
        case SegmentStatus::Unverified:
            break;
    }
    return RowStatus::Unverified;
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) {
        out.append(out.empty() ? "" : " ").append(item);
    }
    return out;
}

}  // namespace

ReportPass reportPassOf(Engine engine, const PassOutcome& outcome, bool cancelled) {
    const PassSummary summary = summarizePass(outcome);
    ReportPass pass;
    pass.engine = engine;
    pass.value = utf8FromGbk(summary.value);
    pass.coverage = utf8FromGbk(summary.coverage);
    // Baidu has no verdict of its own; too few verified, it says so as the window does.
    if (engineIdentity(engine).hasVerdict()) {
        pass.verdict = utf8FromGbk(summary.verdict);
    } else if (summary.tooFewVerified) {
        pass.verdict = utf8FromGbk(tooFewVerifiedWord());
    }
    pass.cancelled = cancelled;
    for (std::size_t i = 0; i < outcome.results.size(); ++i) {
        const SegmentResult& result = outcome.results[i];
        ReportRow row;
        row.number = std::to_string(i < outcome.rows.size() ? outcome.rows[i] : int(i) + 1);
        row.segment = i < outcome.segments.size() ? outcome.segments[i] : Text();
        row.status = rowStatusOf(result.status);
        const bool verified = row.status == RowStatus::Hit || row.status == RowStatus::Original;
        row.hits = verified ? std::to_string(result.hits) : "";
        row.reason = utf8FromGbk(statusTip(result));
        if (row.status == RowStatus::Hit) {
            row.source = result.source;
        }
        row.searchUrl = utf8FromGbk(result.url);
        if (verified) {
            row.coverage = result.coverage;
            row.cached = result.cached;
            if (result.verifiedAt) {
                row.verifiedAt = isoTimeOf(*result.verifiedAt);
            }
        }
        pass.rows.push_back(std::move(row));
    }
    return pass;
}

std::vector<std::pair<std::string, std::string>> reportSettings(const SettingsSnapshot& settings) {
    const CheckSettings& check = settings.check;
    std::string interval = settings.intervalOverride
                               ? std::to_string(settings.intervalOverride->count()) + " 毫秒"
                               : std::to_string(check.intervalSeconds) + " 秒";
    // The deadline of one page in whole seconds; in milliseconds where an
    // override gave a part of a second.
    const auto deadlineMs = settings.pageDeadline().count();
    std::string deadline = deadlineMs % 1000 == 0 ? std::to_string(deadlineMs / 1000) + " 秒"
                                                  : std::to_string(deadlineMs) + " 毫秒";
    return {{"段落字数", std::to_string(check.segmentChars)},
            {"飘红检测数", std::to_string(check.minRunChars)},
            {"最后段字数", std::to_string(check.lastSegmentChars)},
            {"检测方式", utf8FromGbk(checkModeText(check.mode))},
            {"飘红覆盖率", std::to_string(check.coveragePercent) + "%"},
            {"查询间隔", interval},
            {"页面超时", deadline},
            {"缓存天数", std::to_string(settings.cacheDays) + " 天"},
            {"忽略网站", joined(ignoreListOf(settings).domains())},
            {"百度地址", utf8FromGbk(settings.endpoints.baidu)},
            {"360地址", utf8FromGbk(settings.endpoints.engine360)}};
}

CheckReport buildCheckReport(const std::vector<PassRecord>& ends,
                             const std::map<Engine, PassOutcome>& outcomes,
                             const CheckRequest& request) {
    CheckReport report;
    report.checkedAt = reportTimestamp(request.startedAt);
    report.settings = reportSettings(request.settings);
    report.article = request.article;
    report.articleChars = articleCharsOf(request);
    std::vector<PassRecord> ordered = ends;
    std::stable_sort(ordered.begin(), ordered.end(), [](const PassRecord& a, const PassRecord& b) {
        return static_cast<int>(a.engine) < static_cast<int>(b.engine);
    });
    for (const PassRecord& record : ordered) {
        auto outcome = outcomes.find(record.engine);
        if (record.end == PassEnd::EmptyArticle || outcome == outcomes.end()) {
            continue;
        }
        report.passes.push_back(
            reportPassOf(record.engine, outcome->second, record.end == PassEnd::Cancelled));
    }
    return report;
}

std::string reportTimestamp(std::chrono::system_clock::time_point when) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace oc
