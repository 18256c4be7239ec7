// Section "原创检测配置", key "缓存天数": how many days a verified answer of an
// engine is reused for the same query instead of asking again, 0-365; 0 never
// reuses one.
#pragma once

#include "services/text_types.h"

namespace oc {

inline constexpr int kMaxCacheDays = 365;

// 7 when the key is missing or empty; a value out of range is bounded.
int loadCacheDays(const Text& path);
// The value as the parameter window shows it ("7" when missing).
Text loadCacheDaysText(const Text& path);
// Why the text cannot be saved as 缓存天数 (GBK), empty when it can.
Text cacheDaysProblem(const Text& days);
bool saveCacheDays(const Text& path, const Text& days);

}  // namespace oc
