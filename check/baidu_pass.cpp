// The Baidu pass: one GBK query per segment, highlights found without regard to case.
#include "check/check_pass.h"
#include "check/highlight.h"
#include "check/pass_steps.h"
#include "check/pass_texts.h"
#include "services/encoding.h"
#include "services/text_ops.h"

namespace oc {

PassEnd runBaiduPass(const PassEnvironment& env) {
    using namespace component;
    std::optional<PreparedPass> pass = beginPass(env, kBaiduValueLabel, kBaiduGrid);
    if (!pass) {
        return PassEnd::EmptyArticle;
    }
    WindowPort& window = *env.window;
    const Text base = baiduBaseUrl(env);
    const int threshold = 2 * pass->settings.minRunChars;
    int unmatched = 0;
    RegexMatchList matches;
    PageBuffers buffers;
    Text page;
    while (!pass->segments.empty()) {
        Text segment = std::move(pass->segments.front());
        pass->segments.pop_front();
        int row = appendSegmentRow(window, kBaiduGrid, segment);
        Text url = base + "/s?wd=" + urlEncode(toHalfWidth(segment), false, false) + "&rn=20&lm=0";
        page.clear();
        appendPageText(env, url, buffers, page);
        if (page.empty() && !continueAfterEmptyPage(env, pass_texts::baiduBlocked())) {
            endCancelledPass(window);
            return PassEnd::Cancelled;
        }
        // A page without any highlight leaves the row with its title and text only.
        if (toInteger(findAllMatches(kHighlightPattern, page, matches)) < 1) {
            continue;
        }
        int hits = countHighlightHits(segment, page, matches, threshold);
        writeRowResult(window, kBaiduGrid, row, hits, url);
        if (hits == 0) {
            ++unmatched;
        }
    }
    finishPass(window, kBaiduValueLabel, unmatched, pass->total);
    return PassEnd::Normal;
}

}  // namespace oc
