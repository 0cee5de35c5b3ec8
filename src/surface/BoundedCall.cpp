#include "surface/BoundedCall.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "general/GuiThread.h"

#include "variant/VbError.h"

namespace zel {

namespace {

// Shared by the waiting side and the worker, which may outlive the wait: the worker tells that
// it is done through an eventfd (for an event loop) and the condition (for a thread without
// one), which the last of the two closes. What the work made is handed over under the lock.
struct Handoff {
    int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::exception_ptr error;
    ~Handoff() {
        if (fd >= 0) ::close(fd);
    }
};

void runWork(Handoff& handoff, const std::function<void()>& work) {
    std::exception_ptr error;
    try {
        work();
    } catch (...) {
        error = std::current_exception();
    }
    {
        const std::lock_guard<std::mutex> lock(handoff.mutex);
        handoff.error = error;
        handoff.done = true;
    }
    handoff.finished.notify_all();
}

// A print context's thread has no event loop to keep running: it waits on the condition.
bool waitBounded(std::function<void()> work, int milliseconds) {
    auto handoff = std::make_shared<Handoff>();
    std::thread([handoff, work = std::move(work)] { runWork(*handoff, work); }).detach();
    std::unique_lock<std::mutex> lock(handoff->mutex);
    if (!handoff->finished.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                    [&] { return handoff->done; }))
        return false;
    if (handoff->error) std::rethrow_exception(handoff->error);
    return true;
}

}  // namespace

void runInBackground(std::function<void()> work, QObject* context,
                     std::function<void(std::exception_ptr)> done) {
    auto handoff = std::make_shared<Handoff>();
    if (handoff->fd < 0) throw VbError(VbErr::OutOfMemory);
    // The notifier belongs to the context: gone with it, done is never called.
    auto* notifier = new QSocketNotifier(handoff->fd, QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [notifier, handoff, done = std::move(done)] {
                         notifier->setEnabled(false);
                         notifier->deleteLater();
                         std::exception_ptr error;
                         {
                             const std::lock_guard<std::mutex> lock(handoff->mutex);
                             error = handoff->error;
                         }
                         done(error);
                     });
    std::thread([handoff, work = std::move(work)] {
        runWork(*handoff, work);
        const uint64_t one = 1;
        (void)!::write(handoff->fd, &one, sizeof one);
    }).detach();
}

bool runBounded(std::function<void()> work, int milliseconds) {
    if (!QCoreApplication::instance()) {
        work();
        return true;
    }
    if (!onGuiThread()) return waitBounded(std::move(work), milliseconds);
    QEventLoop loop;
    bool finished = false;
    std::exception_ptr error;
    runInBackground(std::move(work), &loop, [&](std::exception_ptr thrown) {
        finished = true;
        error = thrown;
        loop.quit();
    });
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    if (error) std::rethrow_exception(error);
    return finished;
}

}  // namespace zel
