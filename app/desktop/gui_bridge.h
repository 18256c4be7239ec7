// Carries work from the check threads to the GUI thread. Work from a worker
// thread goes into one queue the GUI thread empties, so the work of one
// thread takes effect in the order it was handed over: a write (apply) is
// queued without waiting, a call is queued and waited for, so it completes
// after every earlier write of its thread. Work handed over on the GUI thread
// runs at once. Once shutdown begins all work is skipped, calls answer their
// fallback, and a waiting worker is released within a slice.
#pragma once

#include <QObject>
#include <atomic>
#include <chrono>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <type_traits>

namespace oc {

class GuiBridge {
  public:
    // Create on the GUI thread.
    GuiBridge();
    ~GuiBridge();
    GuiBridge(const GuiBridge&) = delete;
    GuiBridge& operator=(const GuiBridge&) = delete;

    bool onGuiThread() const;
    bool stopping() const { return stopping_.load(std::memory_order_acquire); }
    // From here on calls are no-ops and waiting workers are released.
    void beginShutdown() { stopping_.store(true, std::memory_order_release); }

    // Runs `work` on the GUI thread without waiting, also when called there;
    // it is skipped once shutdown has begun.
    void post(std::function<void()> work);

    // Runs `work` on the GUI thread: at once there, else queued behind the
    // earlier work of the calling thread without waiting for it.
    void apply(std::function<void()> work);

    // Runs `work` on the GUI thread and returns its result, or `fallback`
    // when shutdown begins first.
    template <class Work, class Result = std::invoke_result_t<Work&>>
    Result call(Work work, Result fallback) {
        if (stopping()) {
            return fallback;
        }
        if (onGuiThread()) {
            return work();
        }
        auto promise = std::make_shared<std::promise<Result>>();
        std::future<Result> future = promise->get_future();
        enqueue([promise, work = std::move(work)]() mutable {
            try {
                promise->set_value(work());
            } catch (...) {
                promise->set_exception(std::current_exception());
            }
        });
        return await(future, std::move(fallback));
    }

    // For functions without a result.
    template <class Work>
    void run(Work work) {
        call(
            [work = std::move(work)]() mutable {
                work();
                return true;
            },
            false);
    }

    // Waits in short slices for a result fulfilled on the GUI thread. A
    // broken promise (the work was dropped) or shutdown gives the fallback.
    template <class Result>
    Result await(std::future<Result>& future, Result fallback) const {
        while (future.wait_for(kSlice) != std::future_status::ready) {
            if (stopping()) {
                return fallback;
            }
        }
        try {
            return future.get();
        } catch (...) {
            return fallback;
        }
    }

    // How long the GUI thread works through the queue at a time before it
    // lets paints and input in.
    static constexpr std::chrono::milliseconds kDrainBudget{8};

  private:
    static constexpr std::chrono::milliseconds kSlice{10};

    // Queues work from a worker thread, asking the GUI thread to drain the
    // queue when it was empty.
    void enqueue(std::function<void()> work);
    // On the GUI thread: runs queued work for up to kDrainBudget, then asks
    // again for the rest.
    void drain();

    std::atomic<bool> stopping_{false};
    std::mutex queueMutex_;
    std::deque<std::function<void()>> queue_;
    bool drainAsked_ = false;
    // Lives on the GUI thread; work posted to it is dropped when it goes.
    std::unique_ptr<QObject> context_;
};

}  // namespace oc
