#include "check/segment_status.h"

#include "services/boundary_text.h"

namespace oc {

const Text& statusText(SegmentStatus status) {
    static const Text hit = gbkFromUtf8("命中");
    static const Text original = gbkFromUtf8("原创");
    static const Text unverified = gbkFromUtf8("未核实");
    switch (status) {
        case SegmentStatus::Hit:
            return hit;
        case SegmentStatus::Original:
            return original;
        case SegmentStatus::Unverified:
            break;
    }
    return unverified;
}

const Text& stoppedReason() {
    static const Text stopped = gbkFromUtf8("已停止");
    return stopped;
}

}  // namespace oc
