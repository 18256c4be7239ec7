// The status of a checked segment and the result a pass computes for it.
#pragma once

#include <cstdint>
#include <optional>

#include "check/segment_source.h"
#include "services/text_types.h"

namespace oc {

// 命中: a verified page shows a qualifying highlighted run. 原创: every page of
// the segment was verified and none shows one. 未核实: otherwise. 不计: the
// last segment, shorter than 最后段字数 in 经典: never queried, and counted
// neither among the verified segments nor among all of them.
enum class SegmentStatus { Hit, Original, Unverified, Skipped };

struct SegmentResult {
    SegmentStatus status = SegmentStatus::Unverified;
    Text reason;  // why it is unverified; empty otherwise
    int hits = 0;
    Text url;                // the query URL the row shows
    bool cancelled = false;  // the user gave up at a prompt while it was checked, or stopped
    // In 整句, for a verified segment: the best share (0-100) of its characters
    // that the highlights of one result cover.
    std::optional<int> coverage;
    // Where a 命中 segment was found; absent there: the source is unrecognised (未识别).
    std::optional<SegmentSource> source;
    // A page of the segment was analysed only in part (页面过大，…); empty otherwise.
    Text note;
    // A verified web row: whether every page came from the results store
    // instead of the engine, and when the oldest page used was fetched
    // (seconds since 1970); no time without a store.
    bool cached = false;
    std::optional<std::int64_t> verifiedAt;
    // Failures in a row (自动等待) stopped the engine for the rest of the run:
    // its remaining segments are unverified with this segment's reason.
    bool engineStopped = false;
};

// 命中 / 原创 / 未核实.
const Text& statusText(SegmentStatus status);

// The reason of a segment the user stopped the check at or before: 已停止.
const Text& stoppedReason();

// The reason of a 不计 segment: 最后一段过短.
const Text& skippedReason();

}  // namespace oc
