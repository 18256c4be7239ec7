// The highlight search of both passes (highlightsOf with each engine's
// table) on arbitrary page bytes: every "<em>" fragment is found once, in
// order, inside the page, and the hit count agrees with the fragments it was
// given; the utility's findAllMatches finds the same fragments. Read as UTF-8, a page that the
// GB18030 reading finds a run on is never screened out.
#include <cstdint>
#include <string>

#include "check/engine_tables.h"
#include "check/highlight.h"
#include "check/page_class.h"
#include "services/boundary_text.h"
#include "services/conversions.h"
#include "services/page_decoding.h"
#include "services/text_ops.h"
#include "tests/fuzz/fuzz_invariant.h"
#include "text/regex.h"

namespace {

using oc::Text;

char fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where the tags are, found by a plain scan: each "<em>" that a later "</em>"
// closes, the fragment ending at the first such "</em>".
std::vector<std::pair<std::size_t, std::size_t>> expectedFragments(const Text& page,
                                                                   bool ignoreCase) {
    Text folded = page;
    if (ignoreCase) {
        for (char& c : folded) {
            c = fold(c);
        }
    }
    std::vector<std::pair<std::size_t, std::size_t>> fragments;
    std::size_t from = 0;
    while (true) {
        std::size_t open = folded.find("<em>", from);
        if (open == Text::npos) {
            break;
        }
        std::size_t close = folded.find("</em>", open + 4);
        if (close == Text::npos) {
            break;
        }
        fragments.emplace_back(open + 4, close - open - 4);
        from = close + 5;
    }
    return fragments;
}

void checkMatches(const Text& page, const oc::RegexMatchList& matches, bool ignoreCase) {
    auto expected = expectedFragments(page, ignoreCase);
    require(matches.size() == expected.size());
    for (std::size_t i = 0; i < matches.size(); ++i) {
        const auto& spans = matches[i].spans();
        require(spans.size() == 2 && spans[0].matched && spans[1].matched);
        require(spans[0].start >= 0 && spans[0].length >= 9);
        require(static_cast<std::size_t>(spans[0].start) + spans[0].length <= page.size());
        require(static_cast<std::size_t>(spans[1].start) == expected[i].first);
        require(static_cast<std::size_t>(spans[1].length) == expected[i].second);
        require(matches[i].groupText(page, 1) ==
                page.substr(expected[i].first, expected[i].second));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    oc::fuzz::InputReader in(data, size);
    int threshold = static_cast<int>(in.byte()) - 4;
    int start = static_cast<int>(in.byte()) - 4;
    int length = static_cast<int>(in.byte()) - 4;
    Text segment = oc::fuzz::textOf(in.piece());
    Text page = oc::fuzz::textOf(in.rest());

    // The 360 pass: case-sensitive.
    oc::RegexMatchList matches = oc::highlightsOf(oc::engineTable(oc::Engine::So360), page).matches;
    checkMatches(page, matches, false);
    oc::Regex regex;
    require(regex.compile(oc::kHighlightPattern));

    // The Baidu pass: without regard to case.
    const oc::RegexMatchList folded =
        oc::highlightsOf(oc::engineTable(oc::Engine::Baidu), page).matches;
    checkMatches(page, folded, true);

    // The utility's findAllMatches (off the check path) finds the same.
    oc::RegexMatchList found;
    Text answer = oc::findAllMatches(oc::kHighlightPattern, page, found);
    if (!page.empty()) {
        checkMatches(page, found, true);
        require(oc::toInteger(answer) == static_cast<int>(found.size()));
    }

    int hits = oc::countHighlightHits(segment, page, matches, threshold);
    const Text half = oc::toHalfWidth(segment);
    int expected = 0;
    for (const oc::RegexMatch& match : matches) {
        Text fragment = match.groupText(page, 1);
        expected +=
            static_cast<int>(fragment.size()) >= threshold && oc::findText(half, fragment) != -1;
    }
    require(hits == expected);
    require(oc::countHighlightHits(segment, page, matches, threshold + 1) <= hits);

    // The page as UTF-8 (its bytes when they are, else read as GB18030), the
    // segment as a GBK text holds it.
    const std::string utf8Page = oc::isValidUtf8(page) ? page : oc::utf8FromGbk(page);
    const Text gbkSegment = oc::gbkFromUtf8(oc::utf8FromGbk(segment));
    Text gb18030;
    oc::appendGb18030(utf8Page, gb18030);
    if (!oc::qualifyingRuns(gbkSegment, gb18030, regex.searchAll(gb18030), threshold).empty()) {
        require(
            oc::mayHoldQualifyingRun(gbkSegment, utf8Page, regex.searchAll(utf8Page), threshold));
    }

    // A search in a byte range reports a match inside that range, or none.
    oc::RegexMatch first = regex.search(page, start, length);
    if (!first.empty()) {
        require(start >= 1 && length >= 0 && start + length <= static_cast<int>(page.size()) + 1);
        const oc::MatchSpan& whole = first.spans()[0];
        require(whole.start >= start - 1 && whole.start + whole.length <= start - 1 + length);
    }
    return 0;
}
