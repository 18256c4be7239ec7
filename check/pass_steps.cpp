#include "check/pass_steps.h"

#include "check/grid_model.h"
#include "check/pass_texts.h"
#include "check/score.h"
#include "services/boundary_text.h"
#include "services/conversions.h"
#include "services/encoding.h"
#include "services/http_fetch.h"
#include "services/page_decoding.h"
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

std::optional<PreparedPass> beginPass(const PassEnvironment& env, const PassComponents& shown) {
    WindowPort& window = *env.window;
    if (!shown.verdictLabel.empty()) {
        window.setLabelCaption(shown.verdictLabel, Text());
    }
    window.setLabelCaption(shown.valueLabel, Text());
    window.setLabelCaption(shown.coverageLabel, Text());
    window.setLabelColour(shown.coverageLabel, kDefaultLabelColour);
    window.setLabelColour(shown.valueLabel, kDefaultLabelColour);
    window.setButtonDisabled(component::kCheckButton, true);
    Text article = window.editContent(component::kArticleBox);
    if (article.empty()) {
        env.platform->messageBox(pass_texts::pasteArticle(), kMbOk, pass_texts::hintTitle());
        window.setButtonDisabled(component::kCheckButton, false);
        return std::nullopt;
    }
    PreparedPass pass;
    pass.settings = passSettings(env);
    ArticleCut cut = cutArticle(article, pass.settings);
    window.setLabelCaption(component::kCharCountLabel, number(cut.chars));
    pass.segments = std::move(cut.segments);
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
    window.gridSetCell(grid, row, kCoverageColumn,
                       verified && result.coverage ? number(*result.coverage) + "%" : Text());
}

void finishPass(WindowPort& window, const PassComponents& shown, const PassOutcome& outcome,
                PassStop end) {
    static const Text verifiedWord = gbkFromUtf8("已核实 ");
    static const Text cancelledWord = gbkFromUtf8("已取消 ");
    static const Text stoppedWord = gbkFromUtf8("已停止 ");
    const bool cancelled = end != PassStop::Finished;
    static const Text openNote = gbkFromUtf8("（");
    static const Text closeNote = gbkFromUtf8("段未核实）");
    const int total = outcome.total();
    const int verified = outcome.verified();
    const int original = outcome.count(SegmentStatus::Original);
    Text coverage;
    if (total > 0) {
        const Text& word = end == PassStop::Stopped     ? stoppedWord
                           : end == PassStop::Cancelled ? cancelledWord
                                                        : verifiedWord;
        coverage = word + number(verified) + "/" + number(total);
    }
    window.setLabelCaption(shown.coverageLabel, coverage);
    window.setLabelColour(shown.coverageLabel, verified < total ? kColourRed : kDefaultLabelColour);
    // Fewer than half the segments verified: no verdict, the value in grey.
    static const Text tooFewWord = gbkFromUtf8("核实不足");
    const bool tooFew = !cancelled && 2 * verified < total;
    Text value;
    Text verdict;
    if (!cancelled && verified > 0) {
        value = formatOriginality(original, verified);
        verdict = originalityVerdict(original, verified);
    }
    if (tooFew) {
        verdict = tooFewWord;
    }
    if (!verdict.empty() && verified < total) {
        verdict += openNote + number(total - verified) + closeNote;
    }
    window.setLabelCaption(shown.valueLabel, value);
    window.setLabelColour(shown.valueLabel, tooFew ? kColourGrey : kDefaultLabelColour);
    if (!shown.verdictLabel.empty()) {
        window.setLabelCaption(shown.verdictLabel, verdict);
    } else if (tooFew) {
        window.setLabelCaption(shown.coverageLabel, coverage + " " + tooFewWord);
    }
    window.setButtonDisabled(component::kCheckButton, false);
}

void appendPageText(const PassEnvironment& env, const Text& url, PageBuffers& buffers, Text& text) {
    buffers.body = env.fetch ? env.fetch(url) : httpGet(url, {}, std::move(buffers.body));
    appendDecodedPage(buffers.body.view(), {}, text);
}

std::optional<Text> engineBaseUrl(const PassEnvironment& env, Engine engine) {
    const bool baidu = engine == Engine::Baidu;
    const Text& given = baidu ? env.baiduUrl : env.url360;
    if (!given.empty()) {
        return given;
    }
    EngineEndpoints endpoints = loadEngineEndpoints(env.settingsPath);
    const Text& error = baidu ? endpoints.baiduError : endpoints.error360;
    if (!error.empty()) {
        env.platform->messageBox(error, kMbOk, pass_texts::hintTitle());
        return std::nullopt;
    }
    return baidu ? endpoints.baidu : endpoints.engine360;
}

FetchLimits passFetchLimits(const PassEnvironment& env) {
    FetchLimits limits = env.fetchLimits;
    limits.userAgent = env.userAgent.empty() ? loadUserAgent(env.settingsPath) : env.userAgent;
    return limits;
}

IgnoreList passIgnoreList(const PassEnvironment& env) {
    IgnoreList list;
    list.add(loadIgnoredSites(env.settingsPath));
    list.add(env.ignoredSites);
    return list;
}

Text cellTextOf(const std::string& utf8) {
    bool ok = false;
    ByteSet text = convertEncoding(ByteSet(utf8), "UTF-8", "GB18030", &ok);
    return ok ? toText(text) : gbkFromUtf8(utf8);
}

CheckSettings passSettings(const PassEnvironment& env) {
    CheckSettings settings = loadCheckSettings(env.settingsPath);
    settings.mode = env.mode.value_or(settings.mode);
    settings.coveragePercent = env.coveragePercent.value_or(settings.coveragePercent);
    return settings;
}

std::chrono::milliseconds passInterval(const PassEnvironment& env, const CheckSettings& settings) {
    if (env.interval) {
        return *env.interval;
    }
    return std::chrono::seconds(settings.intervalSeconds);
}

}  // namespace oc
