#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <type_traits>

class QObject;

namespace zel {

// True on the thread that runs the application's event loop (and so owns the widgets), and
// when there is no application yet.
bool onGuiThread();

// Runs the action on the GUI thread and waits for it: a queued call this thread waits for, not
// an event loop of this thread. On the GUI thread it runs at once, so a program without threads of
// its own calls straight through. An exception the action throws is thrown here.
void runOnGuiThread(const std::function<void()>& action);

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
