// The 360 pass: two UTF-8 queries per segment, highlights matched case-sensitively.
#include <algorithm>

#include "check/check_pass.h"
#include "check/highlight.h"
#include "check/pass_steps.h"
#include "check/pass_texts.h"
#include "check/score.h"
#include "services/encoding.h"

namespace oc {

PassEnd run360Pass(const PassEnvironment& env) {
    using namespace component;
    env.window->setLabelCaption(k360VerdictLabel, Text());
    std::optional<PreparedPass> pass = beginPass(env, k360ValueLabel, k360Grid);
    if (!pass) {
        return PassEnd::EmptyArticle;
    }
    WindowPort& window = *env.window;
    const Text base = baseUrl360(env);
    const int threshold = 2 * pass->settings.minRunChars;
    int unmatched = 0;
    Regex regex;
    RegexMatchList matches;
    PageBuffers buffers;
    Text page;
    while (!pass->segments.empty()) {
        Text segment = std::move(pass->segments.front());
        pass->segments.pop_front();
        int row = appendSegmentRow(window, k360Grid, segment);
        regex.compile(kHighlightPattern);
        const Text query = base + "/s?q=" + urlEncode(segment, true, true) + "&pn=";
        page.clear();
        Text url;
        for (int pageNumber = 1; pageNumber <= 2; ++pageNumber) {
            url = query + toText(static_cast<std::int32_t>(pageNumber));
            appendPageText(env, url, buffers, page);
            if (page.empty() && !continueAfterEmptyPage(env, pass_texts::blocked360())) {
                endCancelledPass(window);
                return PassEnd::Cancelled;
            }
        }
        matches = regex.searchAll(page);
        int hits = countHighlightHits(segment, page, matches, threshold);
        if (hits == 0) {
            ++unmatched;
        }
        writeRowResult(window, k360Grid, row, hits, url);
    }
    if (finishPass(window, k360ValueLabel, unmatched, pass->total).empty()) {
        return PassEnd::Normal;
    }
    window.setLabelCaption(k360VerdictLabel,
                           originalityVerdict(std::min(unmatched, pass->total), pass->total));
    return PassEnd::Normal;
}

}  // namespace oc
