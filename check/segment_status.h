// The status of a checked segment and the result a pass computes for it.
#pragma once

#include <optional>

#include "check/segment_source.h"
#include "services/text_types.h"

namespace oc {

// 命中: a verified page shows a qualifying highlighted run. 原创: every page of
// the segment was verified and none shows one. 未核实: otherwise.
enum class SegmentStatus { Hit, Original, Unverified };

struct SegmentResult {
    SegmentStatus status = SegmentStatus::Unverified;
    Text reason;  // why it is unverified; empty otherwise
    int hits = 0;
    Text url;                // the query URL the row shows
    bool cancelled = false;  // the user gave up at a prompt while it was checked, or stopped
    // Where a 命中 segment was found; absent there: the source is unrecognised (未识别).
    std::optional<SegmentSource> source;
};

// 命中 / 原创 / 未核实.
const Text& statusText(SegmentStatus status);

// The reason of a segment the user stopped the check at or before: 已停止.
const Text& stoppedReason();

}  // namespace oc
