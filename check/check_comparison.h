// Two stored checks side by side (对比): per engine the value before and after,
// and the segments whose status changed, matched by identical text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "check/check_store.h"

namespace oc {

struct SegmentChange {
    std::string text;                     // UTF-8
    std::optional<SegmentStatus> before;  // none: the segment is new (added)
    std::optional<SegmentStatus> after;   // none: the segment is gone (removed)
};

struct EngineComparison {
    Engine engine = Engine::Baidu;
    std::string valueBefore;  // as shown, empty when none
    std::string valueAfter;
    // In the order of the later check, the removed ones after them in the
    // order of the earlier check.
    std::vector<SegmentChange> changes;
};

// Every engine of either check, Baidu first. A text that occurs several times
// in a pass is matched occurrence by occurrence, in order.
std::vector<EngineComparison> compareChecks(const StoredCheck& before, const StoredCheck& after);

}  // namespace oc
