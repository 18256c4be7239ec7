// Carries calls from the check threads to the GUI thread. A call made on a
// worker thread is posted to the GUI thread and waited for, so it completes
// before it returns and the calls of one thread keep their order; a call made
// on the GUI thread runs at once. Once shutdown begins every call is a no-op
// answering its fallback, and a waiting worker is released within a slice.
#pragma once

#include <QObject>
#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <future>
#include <memory>
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

    // Runs `work` on the GUI thread without waiting; it is skipped once
    // shutdown has begun.
    void post(std::function<void()> work);

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
        post([promise, work = std::move(work)]() mutable {
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

  private:
    static constexpr std::chrono::milliseconds kSlice{10};

    std::atomic<bool> stopping_{false};
    // Lives on the GUI thread; work posted to it is dropped when it goes.
    std::unique_ptr<QObject> context_;
};

}  // namespace oc
