#include "app/desktop/gui_bridge.h"

#include <QThread>

namespace oc {

GuiBridge::GuiBridge() : context_(std::make_unique<QObject>()) {}

GuiBridge::~GuiBridge() {
    beginShutdown();
}

bool GuiBridge::onGuiThread() const {
    return QThread::currentThread() == context_->thread();
}

void GuiBridge::post(std::function<void()> work) {
    QMetaObject::invokeMethod(
        context_.get(),
        [this, work = std::move(work)] {
            if (!stopping()) {
                work();
            }
        },
        Qt::QueuedConnection);
}

void GuiBridge::apply(std::function<void()> work) {
    if (stopping()) {
        return;
    }
    if (onGuiThread()) {
        work();
        return;
    }
    enqueue(std::move(work));
}

void GuiBridge::enqueue(std::function<void()> work) {
    {
        std::lock_guard lock(queueMutex_);
        queue_.push_back(std::move(work));
        if (drainAsked_) {
            return;
        }
        drainAsked_ = true;
    }
    post([this] { drain(); });
}

void GuiBridge::drain() {
    const auto until = std::chrono::steady_clock::now() + kDrainBudget;
    std::deque<std::function<void()>> batch;
    while (!stopping()) {
        {
            std::lock_guard lock(queueMutex_);
            if (queue_.empty()) {
                drainAsked_ = false;
                return;
            }
            // A batch at a time, so the workers are not held at the lock.
            batch.swap(queue_);
        }
        while (!batch.empty()) {
            if (stopping()) {
                return;
            }
            std::function<void()> work = std::move(batch.front());
            batch.pop_front();
            work();
            if (!batch.empty() && std::chrono::steady_clock::now() >= until) {
                // The rest goes back in front of what came meanwhile.
                std::lock_guard lock(queueMutex_);
                while (!batch.empty()) {
                    queue_.push_front(std::move(batch.back()));
                    batch.pop_back();
                }
                break;
            }
        }
        if (std::chrono::steady_clock::now() >= until) {
            post([this] { drain(); });
            return;
        }
    }
}

}  // namespace oc
