// What a fetched result page is: a block, a failure, a page without results
// or a result page to analyse.
#pragma once

#include <string>

#include "check/engine_tables.h"
#include "check/highlight.h"
#include "services/http_fetch.h"
#include "text/regex.h"

namespace oc {

enum class PageClass { Blocked, Failed, NoResults, ResultPage };

struct ClassifiedPage {
    PageClass pageClass = PageClass::Failed;
    // For a blocked or failed page: the short reason shown with the segment.
    Text reason;
    // False when no page arrived at all (refused, not resolved, time-out, ...):
    // the prompt then names what went wrong, `failure`.
    bool arrived = true;
    // Not arrived, though the server answered: what came was no usable page
    // (header lines without end, the page deadline passed before its body).
    bool answered = false;
    Text failure;
    // The page decoded to UTF-8 (not GBK: the page is never converted as a
    // whole unless a fragment of it counts) and its highlighted fragments found
    // there (for a page without results: none, the echoed query is not one).
    // Empty for a blocked or failed page.
    std::string text;
    RegexMatchList highlights;
    // The page holds more highlighted fragments than are analysed.
    bool highlightsCut = false;

    bool verified() const {
        return pageClass == PageClass::NoResults || pageClass == PageClass::ResultPage;
    }
};

// The highlighted fragments of a page's text, UTF-8 or GB18030 alike: the
// pattern's tags are ASCII, and no byte of another character is ever "<".
// At most kMaxHighlights of them, the first in the page.
HighlightScan highlightsOf(const EngineTable& table, const std::string& text);

// A redirect to one of the engine's verification hosts or to a path that
// holds "captcha" in any letter case: a block, not to be followed.
bool isVerificationRedirect(const EngineTable& table, const std::string& target);

// The page's text is written into `storage`: a caller that hands back the text
// of its previous page has the next one decoded into the same memory. A UTF-8
// body becomes the text itself, and the report's body then holds `storage`.
ClassifiedPage classifyPage(const EngineTable& table, FetchReport& report, Text storage = {});

// Why a page that arrived cut short proves nothing beyond the runs in what
// came (its missing part may hold one): 超时 when the page deadline cut it,
// else 页面不完整. Empty for a page that arrived whole.
Text cutReason(const FetchReport& report);

// Short reasons of an unverified segment.
namespace unverified_reason {
const Text& blocked();      // 屏蔽/验证码
const Text& noHighlight();  // 页面无飘红
const Text& cancelled();    // 已取消
}  // namespace unverified_reason

}  // namespace oc
