#include "check/pass_steps.h"

#include "check/check_store.h"
#include "check/grid_model.h"
#include "check/pass_texts.h"
#include "services/boundary_text.h"
#include "services/conversions.h"
#include "services/encoding.h"
#include "services/http_fetch.h"
#include "settings/settings.h"

namespace oc {
namespace {

std::uint32_t backgroundOf(SegmentStatus status) {
    switch (status) {
        case SegmentStatus::Hit:
            return kColourHitRow;
        case SegmentStatus::Unverified:
            return kColourUnverifiedRow;
        case SegmentStatus::Original:
        case SegmentStatus::Skipped:
            break;
    }
    return kNoBackground;
}

Text number(int value) {
    return toText(static_cast<std::int32_t>(value));
}

void deleteResultRows(WindowPort& window, std::string_view grid) {
    while (window.gridRowCount(grid) > 1) {
        if (!window.gridDeleteRow(grid, window.gridRowCount(grid) - 1)) {
            break;  // a window that refuses to delete must not hold the pass forever
        }
    }
}

// The engine's value, coverage and verdict emptied, in the default colour.
void clearEngineLabels(WindowPort& window, const EngineIdentity& shown) {
    if (shown.hasVerdict()) {
        window.setLabelCaption(shown.verdictLabel, Text());
    }
    window.setLabelCaption(shown.valueLabel, Text());
    window.setLabelCaption(shown.coverageLabel, Text());
    window.setLabelColour(shown.coverageLabel, kDefaultLabelColour);
    window.setLabelColour(shown.valueLabel, kDefaultLabelColour);
}

}  // namespace

void clearEngineResults(WindowPort& window, const EngineIdentity& shown) {
    clearEngineLabels(window, shown);
    deleteResultRows(window, shown.grid);
}

std::optional<PreparedPass> beginPass(const CheckRequest& request, const PassEnvironment& env,
                                      const EngineIdentity& shown) {
    WindowPort& window = *env.window;
    clearEngineLabels(window, shown);
    window.setButtonDisabled(component::kCheckButton, true);
    if (request.article.empty()) {
        env.platform->messageBox(pass_texts::pasteArticle(), kMbOk, pass_texts::hintTitle());
        if (env.releaseCheckButton) {
            window.setButtonDisabled(component::kCheckButton, false);
        }
        return std::nullopt;
    }
    PreparedPass pass;
    ArticleCut cut = cutArticle(request.article, request.settings.check);
    window.setLabelCaption(component::kCharCountLabel, number(cut.chars));
    pass.segments = std::move(cut.segments);
    // Half the bytes, as the article's characters are counted.
    const CheckSettings& settings = request.settings.check;
    if (settings.mode == CheckMode::Classic && pass.segments.size() > 1 &&
        static_cast<long long>(pass.segments.back().size()) < 2LL * settings.lastSegmentChars) {
        pass.skippedLast = std::move(pass.segments.back());
        pass.segments.pop_back();
    }
    pass.total = static_cast<int>(pass.segments.size());
    deleteResultRows(window, shown.grid);
    return pass;
}

int appendSegmentRow(WindowPort& window, std::string_view grid, const Text& segment) {
    int row = window.gridRowCount(grid);
    window.gridAppendRow(grid, number(row), row);
    window.gridSetCell(grid, row, 1, segment);
    return row;
}

Text statusTip(const SegmentResult& result) {
    static const Text separator = gbkFromUtf8("；");
    const bool unchecked =
        result.status == SegmentStatus::Unverified || result.status == SegmentStatus::Skipped;
    Text tip = unchecked ? result.reason : Text();
    if (!result.note.empty()) {
        tip += (tip.empty() ? Text() : separator) + result.note;
    }
    return tip;
}

void writeSegmentRow(WindowPort& window, std::string_view grid, int row,
                     const SegmentResult& result) {
    const bool verified =
        result.status == SegmentStatus::Hit || result.status == SegmentStatus::Original;
    window.gridSetCell(grid, row, 2, verified ? number(result.hits) : Text());
    window.gridSetCell(grid, row, kUrlColumn, result.url);
    window.gridSetTextColour(grid, row, kUrlColumn, row, kUrlColumn, kColourBlue);
    window.gridSetCell(grid, row, kStatusColumn, statusText(result.status));
    // The window also says when the row's pages came from the results store.
    Text tip = statusTip(result);
    if (result.cached && result.verifiedAt) {
        static const Text separator = gbkFromUtf8("；");
        tip += (tip.empty() ? Text() : separator) +
               gbkFromUtf8("缓存：核实于 " + shownTimeOf(*result.verifiedAt));
    }
    window.gridSetCellTip(grid, row, kStatusColumn, tip);
    window.gridSetRowBackground(grid, row, backgroundOf(result.status));
    // The source of a copied segment; a recheck clears an earlier one.
    static const Text unrecognised = gbkFromUtf8("未识别");
    const bool hit = result.status == SegmentStatus::Hit;
    window.gridSetCell(grid, row, kSourceColumn,
                       !hit            ? Text()
                       : result.source ? cellTextOf(result.source->title)
                                       : unrecognised);
    window.gridSetCellTip(grid, row, kSourceColumn,
                          hit && result.source ? cellTextOf(result.source->address) : Text());
    window.gridSetCell(grid, row, kCoverageColumn,
                       verified && result.coverage ? number(*result.coverage) + "%" : Text());
}

void recordSegment(const PassEnvironment& env, Engine engine, PassOutcome& outcome,
                   std::size_t index, SegmentResult result) {
    if (index == outcome.results.size()) {
        outcome.results.push_back(std::move(result));
    } else {
        outcome.results[index] = std::move(result);
    }
    const int row = outcome.rows[index];
    writeSegmentRow(*env.window, engineIdentity(engine).grid, row, outcome.results[index]);
    if (env.listener != nullptr) {
        env.listener->segmentChecked(engine,
                                     {index, row, outcome.segments[index], outcome.results[index]});
    }
}

void recordSkippedLast(const PassEnvironment& env, Engine engine, PassOutcome& outcome,
                       PreparedPass& pass) {
    if (!pass.skippedLast) {
        return;
    }
    SegmentResult result;
    result.status = SegmentStatus::Skipped;
    result.reason = skippedReason();
    outcome.rows.push_back(
        appendSegmentRow(*env.window, engineIdentity(engine).grid, *pass.skippedLast));
    outcome.segments.push_back(std::move(*pass.skippedLast));
    pass.skippedLast.reset();
    recordSegment(env, engine, outcome, outcome.results.size(), std::move(result));
}

void finishPass(const PassEnvironment& env, const EngineIdentity& shown, PassOutcome& outcome,
                PassStop stop) {
    WindowPort& window = *env.window;
    outcome.stop = stop;
    const PassSummary summary = summarizePass(outcome);
    const bool noteTooFew = summary.tooFewVerified && !shown.hasVerdict();
    window.setLabelCaption(shown.coverageLabel, noteTooFew
                                                    ? summary.coverage + " " + tooFewVerifiedWord()
                                                    : summary.coverage);
    window.setLabelColour(shown.coverageLabel,
                          summary.incomplete() ? kColourRed : kDefaultLabelColour);
    window.setLabelCaption(shown.valueLabel, summary.value);
    // Red only for a poor value (under 60% original); grey when too few
    // segments were verified to trust it.
    const bool poor = summary.verified > 0 && summary.original * 100 < summary.verified * 60;
    window.setLabelColour(shown.valueLabel, summary.tooFewVerified ? kColourGrey
                                            : poor                 ? kColourRed
                                                                   : kDefaultLabelColour);
    if (shown.hasVerdict()) {
        window.setLabelCaption(shown.verdictLabel, summary.verdict);
    }
    if (env.releaseCheckButton) {
        window.setButtonDisabled(component::kCheckButton, false);
    }
}

std::optional<Text> engineBaseUrl(const CheckRequest& request, const PassEnvironment& env,
                                  Engine engine) {
    const EngineEndpoints& endpoints = request.settings.endpoints;
    const bool baidu = engine == Engine::Baidu;
    const Text& error = baidu ? endpoints.baiduError : endpoints.error360;
    if (!error.empty()) {
        env.platform->messageBox(error, kMbOk, pass_texts::hintTitle());
        return std::nullopt;
    }
    return baidu ? endpoints.baidu : endpoints.engine360;
}

FetchLimits passFetchLimits(const CheckRequest& request, const PassEnvironment& env) {
    FetchLimits limits = env.fetchLimits;
    limits.userAgent = request.settings.userAgent;
    limits.pageTimeout = request.settings.pageDeadline();
    return limits;
}

Text cellTextOf(const std::string& utf8) {
    bool ok = false;
    ByteSet text = convertEncoding(ByteSet(utf8), "UTF-8", "GB18030", &ok);
    return ok ? toText(text) : gbkFromUtf8(utf8);
}

}  // namespace oc
