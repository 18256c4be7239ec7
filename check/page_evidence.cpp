#include "check/page_evidence.h"

#include "check/result_blocks.h"
#include "corpus/code_points.h"
#include "services/boundary_text.h"
#include "services/page_decoding.h"
#include "services/text_ops.h"

namespace oc {

SegmentForms::SegmentForms(const Text& segment)
    : utf8(utf8FromGbk(toHalfWidth(segment))), codePoints(corpus::decodeUtf8(utf8)) {}

namespace {

// GBK bytes of a UTF-8 text that occurs in a GBK segment: one per ASCII
// character, two per other.
std::size_t gbkBytes(std::string_view utf8) {
    std::size_t bytes = 0;
    for (char c : utf8) {
        auto byte = static_cast<unsigned char>(c);
        bytes += byte < 0x80 ? 1 : (byte & 0xC0) == 0xC0 ? 2 : 0;
    }
    return bytes;
}

}  // namespace

bool fragmentsMayMakeHit(const std::vector<PageFragment>& fragments, const SegmentForms& forms,
                         const HitRule& rule) {
    for (const PageFragment& fragment : fragments) {
        if (static_cast<long long>(fragment.bytes) >= rule.minRunBytes) {
            return true;
        }
    }
    if (!rule.coveragePercent) {
        return false;
    }
    std::vector<std::u32string> codePoints;
    for (const PageFragment& fragment : fragments) {
        codePoints.push_back(corpus::decodeUtf8(fragment.text));
    }
    return coverageOf(forms.codePoints, codePoints).reaches(*rule.coveragePercent);
}

PageEvidence pageEvidence(const EngineTable& table, const ClassifiedPage& page, const Text& url,
                          const SegmentForms& forms, const HitRule& rule) {
    PageEvidence evidence;
    evidence.anyHighlight = !page.highlights.empty();
    std::vector<std::size_t> indices;  // of the fragments kept, among the page's
    for (std::size_t i = 0; i < page.highlights.size(); ++i) {
        std::string fragment = page.highlights[i].groupText(page.text, 1);
        if (fragment.empty() || forms.utf8.find(fragment) == std::string::npos) {
            continue;
        }
        const std::size_t bytes = gbkBytes(fragment);
        evidence.fragments.push_back({std::move(fragment), bytes, -1});
        indices.push_back(i);
    }
    if (!fragmentsMayMakeHit(evidence.fragments, forms, rule)) {
        return evidence;
    }
    // The results are found in the page read as GB18030, where the fragments
    // stand in the same order.
    Text gb18030;
    const bool everyCharacter = appendGb18030(page.text, gb18030);
    const RegexMatchList matches = highlightsOf(table, gb18030).matches;
    std::vector<std::size_t> positions;
    for (std::size_t i : indices) {
        if (i < matches.size()) {
            positions.push_back(static_cast<std::size_t>(matches[i].spans().front().start));
        }
    }
    const std::vector<ResultBlock> blocks = findResultBlocks(
        gb18030, table.blocks, std::string(url), &positions,
        everyCharacter ? std::string_view(page.text) : std::string_view(), &evidence.blocksCut);
    const std::vector<int> holders = blocksHolding(blocks, positions);
    std::vector<int> listed(blocks.size(), -1);  // a block's index among the evidence's
    for (std::size_t k = 0; k < positions.size(); ++k) {
        const int index = holders[k];
        if (index < 0) {
            continue;
        }
        int& entry = listed[static_cast<std::size_t>(index)];
        if (entry < 0) {
            const ResultBlock& block = blocks[static_cast<std::size_t>(index)];
            entry = static_cast<int>(evidence.blocks.size());
            evidence.blocks.push_back({block.title, block.address, block.domain});
        }
        evidence.fragments[k].block = entry;
    }
    evidence.blocksKnown = true;
    return evidence;
}

}  // namespace oc
