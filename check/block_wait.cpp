#include "check/block_wait.h"

#include <algorithm>
#include <thread>

#include "settings/block_settings.h"

namespace oc {

std::chrono::milliseconds EngineBackOff::pauseForBlock() {
    const std::chrono::milliseconds pause = next_;
    next_ = std::min<std::chrono::milliseconds>(next_ * 2, kLongestPause);
    ++blocks_;
    return std::min<std::chrono::milliseconds>(pause, kLongestPause);
}

std::shared_ptr<BlockPolicy> blockPolicyFromSettings(const Text& settingsPath, bool batch) {
    const BlockSettings settings = loadBlockSettings(settingsPath);
    return std::make_shared<BlockPolicy>(
        onBlockFor(settings, batch) == OnBlock::Wait ? BlockAnswer::Wait : BlockAnswer::Ask,
        std::chrono::minutes(settings.waitMinutes));
}

bool waitOutPause(std::chrono::milliseconds pause, const std::function<bool()>& stopped,
                  const std::function<void(int secondsLeft)>& countdown) {
    using Clock = std::chrono::steady_clock;
    constexpr std::chrono::milliseconds kStep{100};
    const Clock::time_point end = Clock::now() + pause;
    long long shown = -1;
    for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
        if (stopped()) {
            countdown(0);
            return false;
        }
        const auto left = std::chrono::ceil<std::chrono::seconds>(end - now).count();
        if (left != shown) {
            shown = left;
            countdown(static_cast<int>(left));
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(kStep, end - now));
    }
    countdown(0);
    return !stopped();
}

}  // namespace oc
