#include "general/GuiThread.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace zel {

namespace {

// Qt's event queue already orders a posted call after its posting; this lock says so in a way
// that ThreadSanitizer, which does not see into Qt, understands too: the poster holds it while
// the call is made and posted, the GUI thread takes it before running the call, and the answer
// of a waited-for call goes back under it.
std::mutex& handoff() {
    static std::mutex mutex;
    return mutex;
}

std::condition_variable& answers() {
    static std::condition_variable condition;
    return condition;
}

thread_local ContextHold* held = nullptr;  // this thread's hold, if it runs a context's call

}  // namespace

// The hold of this thread let go for as long as it lives.
class LetGo {
public:
    LetGo() : hold_(held) {
        if (hold_) hold_->lock_.unlock();
    }
    ~LetGo() {
        if (hold_) hold_->lock_.lock();
    }
    LetGo(const LetGo&) = delete;
    LetGo& operator=(const LetGo&) = delete;

private:
    ContextHold* hold_;
};

ContextHold::ContextHold(std::recursive_mutex& lock) : lock_(lock), outer_(held) {
    static std::atomic<uint64_t> calls{0};
    call_ = outer_ ? outer_->call_ : ++calls;  // a hold inside a call is still that call
    lock_.lock();
    held = this;
}

ContextHold::~ContextHold() {
    held = outer_;
    lock_.unlock();
}

uint64_t ContextHold::currentCall() {
    return held ? held->call_ : 0;
}

void ContextHold::sleepFor(std::chrono::milliseconds time) {
    const LetGo letGo;
    std::this_thread::sleep_for(time);
}

bool onGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || app->thread() == QThread::currentThread();
}

void postToGuiThread(QObject* receiver, std::function<void()> action) {
    const std::lock_guard<std::mutex> lock(handoff());
    QMetaObject::invokeMethod(
        receiver,
        [action = std::move(action)] {
            { const std::lock_guard<std::mutex> lock(handoff()); }
            action();
        },
        Qt::QueuedConnection);
}

void awaitOnGuiThread(const std::function<void(const Answered& answered)>& start) {
    struct Answer {
        bool given = false;
        std::exception_ptr error;
    };
    const auto answer = std::make_shared<Answer>();
    // Kept by whoever answers, possibly past this wait: a second call finds the answer given.
    const Answered answered = [answer](std::exception_ptr error) {
        const std::lock_guard<std::mutex> taken(handoff());
        if (answer->given) return;
        answer->given = true;
        answer->error = std::move(error);
        answers().notify_all();
    };
    const LetGo letGo;
    std::unique_lock<std::mutex> lock(handoff());
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        // The start is the waiter's and is not touched once it answers; the answer is copied.
        [&start, answered] {
            { const std::lock_guard<std::mutex> taken(handoff()); }
            try {
                start(answered);
            } catch (...) {
                answered(std::current_exception());
            }
        },
        Qt::QueuedConnection);
    answers().wait(lock, [&] { return answer->given; });
    lock.unlock();
    if (answer->error) std::rethrow_exception(answer->error);
}

void runOnGuiThread(const std::function<void()>& action) {
    if (onGuiThread()) return action();
    awaitOnGuiThread([&action](const Answered& answered) {
        action();
        answered(nullptr);
    });
}

}  // namespace zel
