#include "surface/BoundedCall.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <exception>
#include <thread>

#include "variant/VbError.h"

namespace zel {

namespace {

// Shared by the waiting side and the worker, which may outlive the wait: the worker tells that
// it is done through an eventfd, which the last of the two closes.
struct Handoff {
    int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::exception_ptr error;
    ~Handoff() {
        if (fd >= 0) ::close(fd);
    }
};

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
                         done(handoff->error);
                     });
    std::thread([handoff, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            handoff->error = std::current_exception();
        }
        const uint64_t one = 1;
        (void)!::write(handoff->fd, &one, sizeof one);
    }).detach();
}

bool runBounded(std::function<void()> work, int milliseconds) {
    if (!QCoreApplication::instance()) {
        work();
        return true;
    }
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
