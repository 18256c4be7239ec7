// What the program knows about each engine: who it is in the window and in
// every output (its identity), and for the web engines how a query is asked
// and by which marks a block, a verification page and a page without results
// are recognised. All of it lives in one table per engine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/result_block_form.h"
#include "services/text_types.h"

namespace oc {

// The two web search engines, and the user's own documents of a folder.
enum class Engine { Baidu, So360, Local };

// Every engine, in the order of the window, the reports and the JSON.
inline constexpr Engine kAllEngines[] = {Engine::Baidu, Engine::So360, Engine::Local};

// Who an engine is in the window and in every output.
struct EngineIdentity {
    Engine engine;
    // Its components in the window (names as WindowPort addresses them).
    std::string_view checkBox;
    std::string_view grid;
    std::string_view valueLabel;
    std::string_view coverageLabel;
    std::string_view verdictLabel;  // empty: the engine shows no verdict (Baidu)
    // Its names (UTF-8): in reports and the command line's tables ("百度",
    // "360", "本地文档"); on its tab, the progress and the CLI's progress
    // lines ("百度", "360", "本地"); its key in the JSON output ("baidu",
    // "360", "local").
    std::string_view name;
    std::string_view shortName;
    std::string_view jsonKey;

    bool hasVerdict() const { return !verdictLabel.empty(); }
};

const EngineIdentity& engineIdentity(Engine engine);
// The engine whose grid has that name; none for any other name.
std::optional<Engine> engineOfGrid(std::string_view grid);

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
    // The prompt after a blocked page, and the title of every prompt of the
    // engine's pass (GBK).
    Text blockedPrompt;
    Text promptTitle;

    // The query URL of a segment's result page (page counts from 1).
    Text queryUrl(const Text& base, const Text& segment, int page) const;
};

// The table of a web engine (Baidu or 360).
const EngineTable& engineTable(Engine engine);

}  // namespace oc
