#include "general/GuiThread.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <stdexcept>

namespace zel {

bool onGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || app->thread() == QThread::currentThread();
}

void runOnGuiThread(const std::function<void()>& action) {
    if (onGuiThread()) return action();
    std::exception_ptr error;
    // Qt's own hand-over already orders the two threads; this flag says so in a way that
    // ThreadSanitizer, which does not see into Qt, understands too.
    std::atomic<bool> done{false};
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&] {
            try {
                action();
            } catch (...) {
                error = std::current_exception();
            }
            done.store(true, std::memory_order_release);
        },
        Qt::BlockingQueuedConnection);
    if (!done.load(std::memory_order_acquire))
        throw std::runtime_error("the GUI thread did not run the window call");
    if (error) std::rethrow_exception(error);
}

}  // namespace zel
