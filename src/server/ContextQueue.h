#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <thread>

namespace zel {

// The calls of one print context, run one at a time in the order they were posted, on a thread
// of the context's own: never on the thread that reads the bus, so that a call that waits for
// the user or prints a long report holds only its own context. The thread ends with the queue;
// a queue dropped by one of its own calls (the context's last object released) lets that call
// finish first.
class ContextQueue {
public:
    ContextQueue();
    ~ContextQueue();  // runs what is queued, then ends the thread
    ContextQueue(const ContextQueue&) = delete;
    ContextQueue& operator=(const ContextQueue&) = delete;

    void post(std::function<void()> call);
    // True while a call runs or waits to run.
    bool busy() const;
    // The calls that wait to run (not the one running).
    size_t waiting() const;
    // True when called from the queue's own thread.
    bool onQueue() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    struct State;
    static void serve(const std::shared_ptr<State>& state);
    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace zel
