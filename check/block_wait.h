// What a pass does when an engine blocks it or its pages cannot be had: ask
// the user (询问), or pause that engine and ask the page again (自动等待).
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "services/text_types.h"

namespace oc {

enum class BlockAnswer { Ask, Wait };

// A page is asked at most this many times in 自动等待; then its segment
// stays unverified and the engine goes on.
inline constexpr int kTriesPerPage = 3;
// This many failures in a row that are no blocks (refused, not resolved,
// timed out) stop the engine for the rest of the run in 自动等待.
inline constexpr int kFailuresBeforeStop = 3;
// A pause doubles after each further block of the run, up to this.
inline constexpr std::chrono::minutes kLongestPause{60};

// Shared by the passes of one run: how blocks are met, and the answer
// 不再询问 turns into 自动等待 for the rest of the run.
class BlockPolicy {
  public:
    BlockPolicy(BlockAnswer answer, std::chrono::milliseconds firstPause)
        : answer_(answer), firstPause_(firstPause) {}

    BlockAnswer answer() const { return answer_.load(std::memory_order_acquire); }
    void stopAsking() { answer_.store(BlockAnswer::Wait, std::memory_order_release); }
    std::chrono::milliseconds firstPause() const { return firstPause_; }

  private:
    std::atomic<BlockAnswer> answer_;
    std::chrono::milliseconds firstPause_;
};

// One engine over one pass in 自动等待: its pauses and its failures in a row.
class EngineBackOff {
  public:
    explicit EngineBackOff(std::chrono::milliseconds firstPause) : next_(firstPause) {}

    // The pause for this block: the first pause, doubled after each block
    // before it, at most kLongestPause.
    std::chrono::milliseconds pauseForBlock();
    // A failure that is no block; true when it is the kFailuresBeforeStop-th in a row.
    bool failedInARow() { return ++failures_ >= kFailuresBeforeStop; }
    // A page arrived (verified or a block): the failures in a row start again.
    void pageArrived() { failures_ = 0; }
    int blocks() const { return blocks_; }

  private:
    std::chrono::milliseconds next_;
    int failures_ = 0;
    int blocks_ = 0;
};

// The policy 屏蔽时 and 屏蔽等待 of the settings file give a check: when the
// file has no 屏蔽时, 自动等待 for a batch and 询问 for a single check.
std::shared_ptr<BlockPolicy> blockPolicyFromSettings(const Text& settingsPath, bool batch);

// Waits out a pause in small steps, telling `countdown` the whole seconds
// left at each new second (0 at the end). False when `stopped` cut it short.
bool waitOutPause(std::chrono::milliseconds pause, const std::function<bool()>& stopped,
                  const std::function<void(int secondsLeft)>& countdown);

}  // namespace oc
