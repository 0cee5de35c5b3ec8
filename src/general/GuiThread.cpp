#include "general/GuiThread.h"

#include <QCoreApplication>
#include <QThread>

namespace zel {

bool onGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || app->thread() == QThread::currentThread();
}

void runOnGuiThread(const std::function<void()>& action) {
    if (onGuiThread()) return action();
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&] {
            try {
                action();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error) std::rethrow_exception(error);
}

}  // namespace zel
