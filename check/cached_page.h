// What is remembered of a verified result page, so that the same query need not
// be asked again: enough to give exactly the row a fresh query would give for
// any 飘红检测数 and any 忽略网站.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/page_class.h"

namespace oc {

// Seconds since 1970-01-01 UTC.
using StoreTime = std::int64_t;
StoreTime storeTimeNow();

// A page is remembered per query URL, engine endpoint and version of the page
// analysis that read it; an entry of another version is never used.
struct PageKey {
    std::string url;       // the query URL as asked (GBK bytes)
    std::string endpoint;  // the engine's base URL
    int analysisVersion = 0;
};

// A result block that holds a kept fragment (UTF-8).
struct CachedBlock {
    std::string title;
    std::string address;
    std::string domain;
    friend bool operator==(const CachedBlock&, const CachedBlock&) = default;
};

// A highlighted fragment of the page that occurs in the segment, in page order.
struct CachedFragment {
    std::string text;       // UTF-8, as the page holds it
    std::size_t bytes = 0;  // its length in GBK bytes
    int block = -1;         // index into CachedPage::blocks; -1: outside every block
    friend bool operator==(const CachedFragment&, const CachedFragment&) = default;
};

struct CachedPage {
    PageClass pageClass = PageClass::ResultPage;
    // Whether the page held any highlighted fragment at all.
    bool anyHighlight = false;
    // Whether the results the fragments lie in were looked up (they are
    // only where a fragment could make the segment 命中 when it was read).
    bool blocksKnown = false;
    // The page held more results, or more highlights, than are examined.
    bool blocksCut = false;
    bool highlightsCut = false;
    // Fragments shorter than this many bytes were not kept.
    int minFragmentBytes = 0;
    std::vector<CachedFragment> fragments;
    std::vector<CachedBlock> blocks;
    StoreTime verifiedAt = 0;  // when the page was fetched
    friend bool operator==(const CachedPage&, const CachedPage&) = default;
};

}  // namespace oc
