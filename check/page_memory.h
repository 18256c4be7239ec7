// The segment check's use of the results store: a result page verified
// before answers the same query again, and a page verified now is kept. What
// is kept gives exactly the row a fresh query of the same page would give, for
// any 飘红检测数 and any 忽略网站.
#pragma once

#include <optional>

#include "check/cached_page.h"
#include "check/hit_rule.h"
#include "check/page_class.h"
#include "check/page_evidence.h"
#include "check/segment_check.h"

namespace oc {

// A result page remembered from an earlier query.
struct RecalledPage {
    PageEvidence evidence;
    bool highlightsCut = false;
    StoreTime verifiedAt = 0;
};

// The page kept for `url` on the context's engine endpoint, when the context
// has a store, the page is no older than its 缓存天数 allow, it was read by this
// version of the page analysis, and what was kept suffices under `rule`: a
// page whose results were not looked up is used only while none of its
// fragments may make the segment 命中.
std::optional<RecalledPage> recallPage(const SegmentContext& context, const Text& url,
                                       const SegmentForms& forms, const HitRule& rule);

// Keeps a verified, whole result page's evidence for `url` (nothing without a
// store).
void keepPage(const SegmentContext& context, const Text& url, PageClass pageClass,
              const PageEvidence& evidence, bool highlightsCut, StoreTime verifiedAt);

}  // namespace oc
