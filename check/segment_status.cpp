#include "check/segment_status.h"

#include "services/boundary_text.h"

namespace oc {

const Text& statusText(SegmentStatus status) {
    static const Text hit = gbkFromUtf8("命中");
    static const Text original = gbkFromUtf8("原创");
    static const Text unverified = gbkFromUtf8("未核实");
    static const Text skipped = gbkFromUtf8("不计");
    switch (status) {
        case SegmentStatus::Skipped:
            return skipped;
        case SegmentStatus::Hit:
            return hit;
        case SegmentStatus::Original:
            return original;
        case SegmentStatus::Unverified:
            break;
    }
    return unverified;
}

const Text& skippedReason() {
    static const Text reason = gbkFromUtf8("最后一段过短");
    return reason;
}

const Text& stoppedReason() {
    static const Text stopped = gbkFromUtf8("已停止");
    return stopped;
}

}  // namespace oc
