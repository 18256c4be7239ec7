// What a verified result page shows for a segment: the highlighted fragments
// occurring in it and the results they lie in, as the hit rule judges them.
#pragma once

#include <string>

#include "check/engine_tables.h"
#include "check/hit_rule.h"
#include "check/page_class.h"

namespace oc {

// The segment in the forms its pages are compared with.
struct SegmentForms {
    explicit SegmentForms(const Text& segment);
    std::string utf8;           // half-width, UTF-8
    std::u32string codePoints;  // the same as code points
};

// The fragments of a verified page (its UTF-8 text and the highlights found
// there) that occur in the segment, with the results they lie in. The page is
// parsed for its results only when its fragments may make the segment 命中
// under `rule`: one is long enough, or all of them together cover enough of it.
// Whether fragments that occur in the segment may make it 命中 under `rule`:
// one is long enough, or all of them together cover enough of it.
bool fragmentsMayMakeHit(const std::vector<PageFragment>& fragments, const SegmentForms& forms,
                         const HitRule& rule);

PageEvidence pageEvidence(const EngineTable& table, const ClassifiedPage& page, const Text& url,
                          const SegmentForms& forms, const HitRule& rule);

}  // namespace oc
