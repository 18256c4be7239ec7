#include "check/pass_steps.h"

#include "check/pass_texts.h"
#include "check/score.h"
#include "services/encoding.h"
#include "services/http_fetch.h"

namespace oc {

std::optional<PreparedPass> beginPass(const PassEnvironment& env, std::string_view valueLabel,
                                      std::string_view grid) {
    WindowPort& window = *env.window;
    window.setLabelCaption(valueLabel, Text());
    window.setButtonDisabled(component::kCheckButton, true);
    Text article = window.editContent(component::kArticleBox);
    if (article.empty()) {
        env.platform->messageBox(pass_texts::pasteArticle(), kMbOk, pass_texts::hintTitle());
        window.setButtonDisabled(component::kCheckButton, false);
        return std::nullopt;
    }
    PreparedPass pass;
    pass.settings = loadCheckSettings(env.settingsPath);
    Text prepared = prepareArticle(article);
    window.setLabelCaption(component::kCharCountLabel,
                           toText(static_cast<std::int32_t>(articleCharCount(prepared))));
    pass.segments = splitSegments(cutSegments(prepared, 2 * pass.settings.segmentChars));
    pass.total = static_cast<int>(pass.segments.size());
    while (window.gridRowCount(grid) > 1) {
        if (!window.gridDeleteRow(grid, window.gridRowCount(grid) - 1)) {
            break;  // a window that refuses to delete must not hold the pass forever
        }
    }
    return pass;
}

int appendSegmentRow(WindowPort& window, std::string_view grid, const Text& segment) {
    int row = window.gridRowCount(grid);
    window.gridAppendRow(grid, toText(static_cast<std::int32_t>(row)), row);
    window.gridSetCell(grid, row, 1, segment);
    return row;
}

void writeRowResult(WindowPort& window, std::string_view grid, int row, int hits, const Text& url) {
    window.gridSetCell(grid, row, 2, hits);
    window.gridSetCell(grid, row, 3, url);
    window.gridSetTextColour(grid, row, 3, row, 3, kColourBlue);
}

void appendPageText(const PassEnvironment& env, const Text& url, PageBuffers& buffers, Text& text) {
    buffers.body = env.fetch ? env.fetch(url) : httpGet(url, {}, std::move(buffers.body));
    const std::size_t start = text.size();
    if (appendConverted(buffers.body.view(), "UTF-8", "GB18030", text)) {
        std::size_t zero = text.find('\0', start);
        if (zero != Text::npos) {
            text.resize(zero);
        }
    }
}

bool continueAfterEmptyPage(const PassEnvironment& env, const Text& prompt) {
    return env.platform->messageBox(prompt, kMbOkCancel, pass_texts::blockedTitle()) !=
           kAnswerCancel;
}

Text finishPass(WindowPort& window, std::string_view valueLabel, int unmatched, int total) {
    if (unmatched > total) {
        unmatched = total;
    }
    Text percentage = total > 0 ? formatOriginality(unmatched, total) : Text();
    window.setLabelCaption(valueLabel, percentage);
    window.setButtonDisabled(component::kCheckButton, false);
    return percentage;
}

void endCancelledPass(WindowPort& window) {
    window.setButtonDisabled(component::kCheckButton, false);
}

Text baiduBaseUrl(const PassEnvironment& env) {
    return env.baiduUrl.empty() ? loadEngineEndpoints(env.settingsPath).baidu : env.baiduUrl;
}

Text baseUrl360(const PassEnvironment& env) {
    return env.url360.empty() ? loadEngineEndpoints(env.settingsPath).engine360 : env.url360;
}

}  // namespace oc
