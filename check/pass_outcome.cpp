#include "check/pass_outcome.h"

#include <algorithm>

#include "check/score.h"
#include "services/boundary_text.h"
#include "services/conversions.h"

namespace oc {
namespace {

Text number(int value) {
    return toText(static_cast<std::int32_t>(value));
}

const Text& coverageWord(PassStop stop) {
    static const Text verified = gbkFromUtf8("已核实 ");
    static const Text cancelled = gbkFromUtf8("已取消 ");
    static const Text stopped = gbkFromUtf8("已停止 ");
    switch (stop) {
        case PassStop::Cancelled:
            return cancelled;
        case PassStop::Stopped:
            return stopped;
        case PassStop::Finished:
            break;
    }
    return verified;
}

}  // namespace

const Text& tooFewVerifiedWord() {
    static const Text word = gbkFromUtf8("核实不足");
    return word;
}

int PassOutcome::count(SegmentStatus status) const {
    return static_cast<int>(
        std::count_if(results.begin(), results.end(),
                      [&](const SegmentResult& r) { return r.status == status; }));
}

PassSummary summarizePass(const PassOutcome& outcome) {
    static const Text openNote = gbkFromUtf8("（");
    static const Text closeNote = gbkFromUtf8("段未核实）");
    PassSummary summary;
    summary.total = outcome.total();
    summary.verified = outcome.verified();
    summary.original = outcome.count(SegmentStatus::Original);
    if (summary.total > 0) {
        summary.coverage =
            coverageWord(outcome.stop) + number(summary.verified) + "/" + number(summary.total);
    }
    const bool finished = outcome.stop == PassStop::Finished;
    if (finished && summary.verified > 0) {
        summary.value = formatOriginality(summary.original, summary.verified);
        summary.verdict = originalityVerdict(summary.original, summary.verified);
    }
    summary.tooFewVerified = finished && 2 * summary.verified < summary.total;
    if (summary.tooFewVerified) {
        summary.verdict = tooFewVerifiedWord();
    }
    if (!summary.verdict.empty() && summary.incomplete()) {
        summary.verdict += openNote + number(summary.total - summary.verified) + closeNote;
    }
    return summary;
}

}  // namespace oc
