#include "settings/block_settings.h"

#include <algorithm>

#include "services/boundary_text.h"
#include "services/conversions.h"
#include "services/ini_file.h"
#include "services/text_ops.h"

namespace oc {
namespace {

const Text& section() {
    static const Text text = gbkFromUtf8("原创检测配置");
    return text;
}
const Text& onBlockKey() {
    static const Text text = gbkFromUtf8("屏蔽时");
    return text;
}
const Text& waitKey() {
    static const Text text = gbkFromUtf8("屏蔽等待");
    return text;
}

}  // namespace

Text onBlockText(OnBlock answer) {
    return gbkFromUtf8(answer == OnBlock::Wait ? "自动等待" : "询问");
}

BlockSettings loadBlockSettings(const Text& path) {
    BlockSettings settings;
    const Text answer = trimSpaces(readIniItem(path, section(), onBlockKey()));
    for (OnBlock known : {OnBlock::Ask, OnBlock::Wait}) {
        if (answer == onBlockText(known)) {
            settings.onBlock = known;
        }
    }
    const Text wait = trimSpaces(readIniItem(path, section(), waitKey()));
    if (!wait.empty()) {
        const int minutes = toInteger(wait);
        if (minutes > 0) {
            settings.waitMinutes = std::min(minutes, kMaxBlockWaitMinutes);
        }
    }
    return settings;
}

bool saveBlockSettings(const Text& path, const BlockSettings& settings) {
    return writeIniItems(
        path, section(),
        {{onBlockKey(),
          settings.onBlock ? std::optional<Text>(onBlockText(*settings.onBlock)) : std::nullopt},
         {waitKey(), toText(static_cast<std::int32_t>(settings.waitMinutes))}});
}

OnBlock onBlockFor(const BlockSettings& settings, bool batch) {
    return settings.onBlock.value_or(batch ? OnBlock::Wait : OnBlock::Ask);
}

}  // namespace oc
