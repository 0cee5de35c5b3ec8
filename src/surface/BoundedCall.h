#pragma once

#include <functional>
#include <memory>
#include <optional>

class QObject;

namespace zel {

// Runs work that may block for long (a call into a CUPS server that could be frozen) on a
// thread of its own, and calls done in the calling thread, from its event loop, when the work
// has finished, unless context is gone by then. An exception from the work is rethrown into
// done's caller as done's argument.
void runInBackground(std::function<void()> work, QObject* context,
                     std::function<void(std::exception_ptr)> done);

// Runs the work so and waits for it while the event loop keeps running, so that other clients'
// calls are answered meanwhile; at most `milliseconds`: false when the work did not finish in
// time (it goes on alone and its result is dropped). Without an application object the work
// runs in the calling thread; on a thread other than the GUI thread (a print context's in the
// server) the caller just waits, with no event loop: its context waits, nobody else.
bool runBounded(std::function<void()> work, int milliseconds);

// The same for work with a result: nothing when it did not finish in time.
template <typename T>
std::optional<T> callBounded(std::function<T()> work, int milliseconds) {
    auto result = std::make_shared<std::optional<T>>();
    if (!runBounded([result, work = std::move(work)] { *result = work(); }, milliseconds))
        return std::nullopt;
    return std::move(*result);
}

}  // namespace zel
