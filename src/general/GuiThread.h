#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <type_traits>

class QObject;

namespace zel {

// True on the thread that runs the application's event loop (and so owns the widgets), and
// when there is no application yet.
bool onGuiThread();

// Holds, on a print context's own thread and for the length of one of its calls, the lock that
// the context's window handlers take on the GUI thread (a resize measures the context's grid),
// so that they never change the context under a running call. The call lets it go whenever it
// waits for the GUI thread (runOnGuiThread) or sleeps (sleepFor), so that a handler never waits
// for a call that waits for it.
class ContextHold {
public:
    explicit ContextHold(std::recursive_mutex& lock);
    ~ContextHold();
    ContextHold(const ContextHold&) = delete;
    ContextHold& operator=(const ContextHold&) = delete;

    // Sleeps with this thread's hold let go (a wait for the user between two looks).
    static void sleepFor(std::chrono::milliseconds time);
    // The number of the call this thread runs (each call its own, never 0), or 0 when it runs
    // none: what a question asked in the call is known by.
    static uint64_t currentCall();

private:
    friend class LetGo;
    std::recursive_mutex& lock_;
    ContextHold* outer_;
    uint64_t call_;
};

// Runs the action on the GUI thread and waits for it: a queued call this thread waits for, not
// an event loop of this thread. On the GUI thread it runs at once, so a program without threads of
// its own calls straight through. An exception the action throws is thrown here.
void runOnGuiThread(const std::function<void()>& action);

// Given to what answers later on the GUI thread (a question the user answers): called there with
// the error to throw at the waiter, or none. Only its first call counts.
using Answered = std::function<void(std::exception_ptr error)>;

// Starts something on the GUI thread that answers later, and waits for its answer with this
// thread's hold let go: a condition this thread sleeps on, no event loop, so that the GUI thread
// serves every other context meanwhile and this one returns as soon as its own answer comes,
// whatever else is open. Not for the GUI thread, which would wait for itself.
void awaitOnGuiThread(const std::function<void(const Answered& answered)>& start);

// Runs the action on the GUI thread later, without waiting for it; dropped when the receiver
// (an object of the GUI thread) is gone by then.
void postToGuiThread(QObject* receiver, std::function<void()> action);

template <class Action>
auto onGui(Action&& action) -> decltype(action()) {
    using Result = decltype(action());
    if constexpr (std::is_void_v<Result>) {
        runOnGuiThread(action);
    } else {
        if (onGuiThread()) return action();
        std::optional<Result> result;
        runOnGuiThread([&] { result.emplace(action()); });
        return std::move(*result);
    }
}

}  // namespace zel
