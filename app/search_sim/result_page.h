// The HTML pages the simulator answers with: result pages shaped like the
// engines' own, the "no results" page, the captcha page and the 404 page.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/search_sim/corpus_names.h"
#include "app/search_sim/search_request.h"

namespace oc::sim {

// Characters of an abstract when the best match is short.
inline constexpr std::size_t kAbstractChars = 100;

// How shared text is marked: as the real engines do (a highlight never holds
// punctuation or white space; where shared text crosses either, one highlight
// closes before it and the next opens after it), or one highlight per shared
// run, punctuation inside included (the simulator's earlier behaviour).
enum class HighlightStyle { Engine, Runs };

struct ResultPage {
    EngineForm form = EngineForm::Baidu;
    HighlightStyle style = HighlightStyle::Engine;
    std::string query;                       // UTF-8, as the user typed it
    CodePoints queryKeys;                    // match keys of the query
    std::size_t total = 0;                   // all matching documents
    std::size_t firstResult = 0;             // 0-based number of the first shown
    std::vector<const Document*> documents;  // the results shown, in order
};

// The text as HTML with every run it shares with the query wrapped in
// <em>...</em>. A run shows the matched characters in their folded form (the
// query's own characters); line ends outside runs become single spaces. In the
// engines' style the punctuation of a run stands between two highlights.
std::string highlightedHtml(std::u32string_view text, std::u32string_view queryKeys,
                            HighlightStyle style = HighlightStyle::Engine);

// About kAbstractChars characters of the body around its longest run shared
// with the query (the start of the body when there is none), "..." marking a cut.
CodePoints abstractOf(const CodePoints& body, std::u32string_view queryKeys);

// http://corpus.local/<file name, percent-encoded where a URL needs it>.
std::string displayUrl(std::string_view fileName);

std::string renderResultPage(const ResultPage& page);
std::string renderCaptchaPage(EngineForm form);
// The page an engine shows instead of results once it takes the client for a
// robot: Baidu's titled "百度安全验证", 360's "访问异常页面".
std::string renderVerificationPage(EngineForm form);
std::string renderNotFoundPage();

}  // namespace oc::sim
