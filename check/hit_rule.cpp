#include "check/hit_rule.h"

#include "corpus/code_points.h"
#include "services/boundary_text.h"
#include "services/text_ops.h"

namespace oc {
namespace {

bool countable(char32_t c) {
    const char32_t key = corpus::matchKey(c);
    return key != 0 && key != U' ' && !corpus::isPunctuationKey(key);
}

std::size_t countableChars(std::u32string_view text) {
    std::size_t count = 0;
    for (char32_t c : text) {
        count += countable(c) ? 1 : 0;
    }
    return count;
}

// The threshold comparison of a fragment of `bytes` GBK bytes.
bool longEnough(std::size_t bytes, int thresholdBytes) {
    return static_cast<long long>(bytes) >= thresholdBytes;
}

}  // namespace

int Coverage::percent() const {
    return countable == 0 ? 0 : static_cast<int>(covered * 100 / countable);
}

bool Coverage::reaches(int percent) const {
    return countable > 0 && covered * 100 >= static_cast<std::size_t>(percent) * countable;
}

std::u32string coverageForm(const Text& segment) {
    return corpus::decodeUtf8(utf8FromGbk(toHalfWidth(segment)));
}

bool hasCountableCharacter(const Text& segment) {
    return countableChars(coverageForm(segment)) > 0;
}

Coverage coverageOf(std::u32string_view segment, const std::vector<std::u32string>& fragments) {
    std::vector<bool> covered(segment.size(), false);
    for (const std::u32string& fragment : fragments) {
        if (countableChars(fragment) < 2) {
            continue;
        }
        for (std::size_t at = segment.find(fragment); at != std::u32string_view::npos;
             at = segment.find(fragment, at + 1)) {
            std::fill(covered.begin() + static_cast<std::ptrdiff_t>(at),
                      covered.begin() + static_cast<std::ptrdiff_t>(at + fragment.size()), true);
        }
    }
    Coverage coverage;
    for (std::size_t i = 0; i < segment.size(); ++i) {
        if (countable(segment[i])) {
            ++coverage.countable;
            coverage.covered += covered[i] ? 1 : 0;
        }
    }
    return coverage;
}

HitOutcome judgeSegment(const Text& segment, const std::vector<PageEvidence>& pages,
                        const HitRule& rule, const IgnoreList& ignore) {
    HitOutcome outcome;
    // One long highlight: every one counts but those inside ignored results;
    // the longest one inside a result names the source.
    std::size_t sourceBytes = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const PageEvidence& page = pages[p];
        for (const PageFragment& fragment : page.fragments) {
            if (!longEnough(fragment.bytes, rule.minRunBytes)) {
                continue;
            }
            const SegmentSource* block =
                page.blocksKnown && fragment.block >= 0
                    ? &page.blocks[static_cast<std::size_t>(fragment.block)]
                    : nullptr;
            if (block != nullptr && ignore.matches(block->domain)) {
                continue;
            }
            ++outcome.hits;
            if (outcome.sourcePage < 0) {
                outcome.sourcePage = static_cast<int>(p);  // until a result names the source
            }
            if (block != nullptr && (!outcome.source || fragment.bytes > sourceBytes)) {
                outcome.source = *block;
                outcome.sourcePage = static_cast<int>(p);
                sourceBytes = fragment.bytes;
            }
        }
    }
    if (!rule.coveragePercent) {
        return outcome;
    }
    // Coverage: the highlights of one result together, the best result.
    const std::u32string form = coverageForm(segment);
    Coverage shown = coverageOf(form, {});  // the best, as the row shows it
    std::optional<Coverage> best;           // the best of a result that counts
    const SegmentSource* bestBlock = nullptr;
    int bestPage = -1;
    int bestCount = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const PageEvidence& page = pages[p];
        std::vector<std::vector<std::u32string>> byBlock(page.blocks.size());
        std::vector<std::u32string> all;
        for (const PageFragment& fragment : page.fragments) {
            std::u32string text = corpus::decodeUtf8(fragment.text);
            if (page.blocksKnown && fragment.block >= 0) {
                byBlock[static_cast<std::size_t>(fragment.block)].push_back(text);
            }
            all.push_back(std::move(text));
        }
        if (!page.blocksKnown) {
            // Not parsed: what all its highlights cover bounds what any one
            // result's could; it is shown, never counted.
            Coverage bound = coverageOf(form, all);
            shown = bound.covered > shown.covered ? bound : shown;
            continue;
        }
        for (std::size_t b = 0; b < page.blocks.size(); ++b) {
            if (ignore.matches(page.blocks[b].domain)) {
                continue;
            }
            Coverage coverage = coverageOf(form, byBlock[b]);
            if (best && coverage.covered <= best->covered) {
                continue;
            }
            best = coverage;
            bestBlock = &page.blocks[b];
            bestPage = static_cast<int>(p);
            bestCount = 0;
            for (const std::u32string& text : byBlock[b]) {
                bestCount += countableChars(text) >= 2 ? 1 : 0;
            }
            shown = coverage.covered > shown.covered ? coverage : shown;
        }
    }
    outcome.coverage = shown.percent();
    if (outcome.hits == 0 && best && best->reaches(*rule.coveragePercent)) {
        outcome.hits = bestCount;
        outcome.source = *bestBlock;
        outcome.sourcePage = bestPage;
    }
    return outcome;
}

}  // namespace oc
