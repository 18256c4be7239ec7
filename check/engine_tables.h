// What the passes know about each search engine: how a query is asked, and by
// which marks a block, a verification page and a page without results are
// recognised. All of it lives in one table per engine.
#pragma once

#include <string>
#include <vector>

#include "check/result_block_form.h"
#include "services/text_types.h"

namespace oc {

// The two web search engines, and the user's own documents of a folder.
enum class Engine { Baidu, So360, Local };

struct EngineTable {
    Engine engine;
    // The engine's name in the message for a page that did not arrive,
    // "无法连接<name>：<reason>".
    Text name;
    // Hosts (lower case) of the engine's verification pages: a redirect there
    // is a block and is not followed.
    std::vector<std::string> verificationHosts;
    // A page whose <title> holds one of these is a block page.
    TextList blockTitles;
    // A page without any highlighted fragment that holds one of these is a
    // block page.
    TextList bodyMarkers;
    // The openings of the sentence of a page without results; the query it
    // echoes inside em is not a highlighted fragment.
    TextList noResultsPhrases;
    // Result pages asked for per segment (360 asks for two).
    int pagesPerSegment = 1;
    // Whether <em> is found only in lower case.
    bool highlightCaseSensitive = false;
    // Whether a result page without any highlighted fragment leaves the
    // segment unverified (else it counts as showing nothing copied).
    bool pageWithoutHighlightUnverified = false;
    // Where a result page keeps its results: blocks, titles and target addresses.
    ResultBlockForm blocks{};

    // The query URL of a segment's result page (page counts from 1).
    Text queryUrl(const Text& base, const Text& segment, int page) const;
    // The prompt after a blocked or failed page.
    const Text& blockedPrompt() const;
};

// The table of a web engine (Baidu or 360).
const EngineTable& engineTable(Engine engine);

}  // namespace oc
