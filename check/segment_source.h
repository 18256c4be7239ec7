// Which result page holds a copied segment: the qualifying highlighted runs of
// its pages attributed to the result blocks around them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/highlight.h"
#include "check/ignore_list.h"
#include "check/result_block_form.h"

namespace oc {

// The qualifying runs of one delivered page, in page order, with the text they
// were found in (positions count from its first byte) and its query URL.
struct PageRuns {
    std::string_view text;
    std::string_view url;
    std::vector<HighlightRun> runs;
    // The same text in UTF-8, as the page was read, when every character of it
    // has its own form in `text`; empty: converted from `text` when needed.
    std::string_view utf8 = {};
};

struct SegmentSource {
    std::string title;    // UTF-8
    std::string address;  // UTF-8
    // Empty for an address on the engine's own host; a local document's path,
    // so that its sources are counted per file.
    std::string domain;
};

struct SourceOutcome {
    // The qualifying runs left once those inside blocks of ignored domains are taken out.
    int hits = 0;
    // The block holding the longest remaining run that lies inside a block (the
    // earlier run on a tie, page 1 before page 2). Absent when no remaining run
    // lies inside a block: with hits, the source is unrecognised ("未识别").
    std::optional<SegmentSource> source;
    // Bytes of the run that chose the source.
    std::size_t sourceRunBytes = 0;
    // A page parsed for it holds more result blocks than were examined: the
    // runs past them count, but name no source.
    bool blocksCut = false;

    // Takes in the outcome of a later page of the same segment: its hits add
    // up, and its source replaces this one only with a strictly longer run.
    void add(const SourceOutcome& later);
};

// Parses only the pages that hold a qualifying run, so a segment without any
// costs nothing here; with no domain ignored, only those needed to find the
// block of the longest run. `pages` in page order.
SourceOutcome attributeRuns(const std::vector<PageRuns>& pages, const ResultBlockForm& form,
                            const IgnoreList& ignore);
// The same for one page.
SourceOutcome attributePageRuns(const PageRuns& page, const ResultBlockForm& form,
                                const IgnoreList& ignore);

}  // namespace oc
