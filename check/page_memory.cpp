#include "check/page_memory.h"

#include "check/check_store.h"

namespace oc {
namespace {

PageKey keyOf(const SegmentContext& context, const Text& url) {
    return {url, context.baseUrl, kPageAnalysisVersion};
}

PageEvidence evidenceOf(const CachedPage& page) {
    PageEvidence evidence;
    evidence.anyHighlight = page.anyHighlight;
    evidence.blocksKnown = page.blocksKnown;
    evidence.blocksCut = page.blocksCut;
    for (const CachedFragment& fragment : page.fragments) {
        evidence.fragments.push_back({fragment.text, fragment.bytes, fragment.block});
    }
    for (const CachedBlock& block : page.blocks) {
        evidence.blocks.push_back({block.title, block.address, block.domain});
    }
    return evidence;
}

}  // namespace

std::optional<RecalledPage> recallPage(const SegmentContext& context, const Text& url,
                                       const SegmentForms& forms, const HitRule& rule) {
    if (context.store == nullptr) {
        return std::nullopt;
    }
    std::optional<CachedPage> page =
        context.store->cachedPage(keyOf(context, url), context.cacheNotBefore, 0);
    if (!page) {
        return std::nullopt;
    }
    RecalledPage recalled{evidenceOf(*page), page->highlightsCut, page->verifiedAt};
    if (!recalled.evidence.blocksKnown &&
        fragmentsMayMakeHit(recalled.evidence.fragments, forms, rule)) {
        return std::nullopt;  // its results are needed now and were not kept
    }
    return recalled;
}

void keepPage(const SegmentContext& context, const Text& url, PageClass pageClass,
              const PageEvidence& evidence, bool highlightsCut, StoreTime verifiedAt) {
    if (context.store == nullptr) {
        return;
    }
    CachedPage page;
    page.pageClass = pageClass;
    page.anyHighlight = evidence.anyHighlight;
    page.blocksKnown = evidence.blocksKnown;
    page.blocksCut = evidence.blocksCut;
    page.highlightsCut = highlightsCut;
    for (const PageFragment& fragment : evidence.fragments) {
        page.fragments.push_back({fragment.text, fragment.bytes, fragment.block});
    }
    for (const SegmentSource& block : evidence.blocks) {
        page.blocks.push_back({block.title, block.address, block.domain});
    }
    page.verifiedAt = verifiedAt;
    context.store->keepPage(keyOf(context, url), page);
}

}  // namespace oc
