// How a check meets a blocking engine: section "原创检测配置", keys "屏蔽时"
// ("询问" or "自动等待") and "屏蔽等待" (minutes of the first pause).
#pragma once

#include <optional>

#include "services/text_types.h"

namespace oc {

enum class OnBlock { Ask, Wait };

inline constexpr int kDefaultBlockWaitMinutes = 10;
inline constexpr int kMaxBlockWaitMinutes = 60;

struct BlockSettings {
    // 屏蔽时; none when the key is absent or holds neither value: a single
    // check then asks and a batch waits.
    std::optional<OnBlock> onBlock;
    // 屏蔽等待, 1..60 minutes (10 when absent or not a number).
    int waitMinutes = kDefaultBlockWaitMinutes;
};

BlockSettings loadBlockSettings(const Text& path);
// Writes both keys in one save; `onBlock` none removes 屏蔽时.
bool saveBlockSettings(const Text& path, const BlockSettings& settings);

// The answer of 屏蔽时 for a check: the setting when present, else 自动等待
// for a batch and 询问 for a single check.
OnBlock onBlockFor(const BlockSettings& settings, bool batch);

// "询问", "自动等待" (GBK).
Text onBlockText(OnBlock answer);

}  // namespace oc
