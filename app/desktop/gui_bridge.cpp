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

}  // namespace oc
