#include "check/pass_steps.h"

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
            break;
    }
    return kNoBackground;
}

Text number(int value) {
    return toText(static_cast<std::int32_t>(value));
}

}  // namespace

PassComponents componentsOf(Engine engine) {
    using namespace component;
    if (engine == Engine::Baidu) {
        return {kBaiduGrid, kBaiduValueLabel, kBaiduCoverageLabel, {}};
    }
    if (engine == Engine::Local) {
        return {kLocalGrid, kLocalValueLabel, kLocalCoverageLabel, kLocalVerdictLabel};
    }
    return {k360Grid, k360ValueLabel, k360CoverageLabel, k360VerdictLabel};
}

std::optional<PreparedPass> beginPass(const CheckRequest& request, const PassEnvironment& env,
                                      const PassComponents& shown) {
    WindowPort& window = *env.window;
    if (!shown.verdictLabel.empty()) {
        window.setLabelCaption(shown.verdictLabel, Text());
    }
    window.setLabelCaption(shown.valueLabel, Text());
    window.setLabelCaption(shown.coverageLabel, Text());
    window.setLabelColour(shown.coverageLabel, kDefaultLabelColour);
    window.setButtonDisabled(component::kCheckButton, true);
    if (request.article.empty()) {
        env.platform->messageBox(pass_texts::pasteArticle(), kMbOk, pass_texts::hintTitle());
        if (env.releaseCheckButton) {
            window.setButtonDisabled(component::kCheckButton, false);
        }
        return std::nullopt;
    }
    PreparedPass pass;
    Text prepared = prepareArticle(request.article);
    window.setLabelCaption(component::kCharCountLabel, number(articleCharCount(prepared)));
    pass.segments = splitSegments(cutSegments(prepared, 2 * request.settings.check.segmentChars));
    pass.total = static_cast<int>(pass.segments.size());
    while (window.gridRowCount(shown.grid) > 1) {
        if (!window.gridDeleteRow(shown.grid, window.gridRowCount(shown.grid) - 1)) {
            break;  // a window that refuses to delete must not hold the pass forever
        }
    }
    return pass;
}

int appendSegmentRow(WindowPort& window, std::string_view grid, const Text& segment) {
    int row = window.gridRowCount(grid);
    window.gridAppendRow(grid, number(row), row);
    window.gridSetCell(grid, row, 1, segment);
    return row;
}

void writeSegmentRow(WindowPort& window, std::string_view grid, int row,
                     const SegmentResult& result) {
    bool verified = result.status != SegmentStatus::Unverified;
    window.gridSetCell(grid, row, 2, verified ? number(result.hits) : Text());
    window.gridSetCell(grid, row, kUrlColumn, result.url);
    window.gridSetTextColour(grid, row, kUrlColumn, row, kUrlColumn, kColourBlue);
    window.gridSetCell(grid, row, kStatusColumn, statusText(result.status));
    window.gridSetCellTip(grid, row, kStatusColumn, verified ? Text() : result.reason);
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
}

void recordSegment(const PassEnvironment& env, Engine engine, PassOutcome& outcome,
                   std::size_t index, SegmentResult result) {
    if (index == outcome.results.size()) {
        outcome.results.push_back(std::move(result));
    } else {
        outcome.results[index] = std::move(result);
    }
    const int row = outcome.rows[index];
    writeSegmentRow(*env.window, componentsOf(engine).grid, row, outcome.results[index]);
    if (env.listener != nullptr) {
        env.listener->segmentChecked(engine,
                                     {index, row, outcome.segments[index], outcome.results[index]});
    }
}

void finishPass(const PassEnvironment& env, const PassComponents& shown, PassOutcome& outcome,
                PassStop stop) {
    WindowPort& window = *env.window;
    outcome.stop = stop;
    const PassSummary summary = summarizePass(outcome);
    window.setLabelCaption(shown.coverageLabel, summary.coverage);
    window.setLabelColour(shown.coverageLabel,
                          summary.incomplete() ? kColourRed : kDefaultLabelColour);
    window.setLabelCaption(shown.valueLabel, summary.value);
    if (!shown.verdictLabel.empty()) {
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
