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
    struct State;

public:
    ContextQueue();
    ~ContextQueue();  // runs what is queued, then ends the thread
    ContextQueue(const ContextQueue&) = delete;
    ContextQueue& operator=(const ContextQueue&) = delete;

    // Wakes the queue's thread for the calls posted before, when it goes (after the lock under
    // which they were posted is let go, so that the thread does not wake only to wait for it).
    class Wake {
    public:
        Wake() = default;
        Wake(Wake&& other) noexcept : state_(std::move(other.state_)) {}
        Wake& operator=(Wake&& other) noexcept;
        ~Wake();

    private:
        friend class ContextQueue;
        explicit Wake(std::shared_ptr<State> state) : state_(std::move(state)) {}
        std::shared_ptr<State> state_;
    };

    void post(std::function<void()> call);
    // Posts the call; its thread is woken when the Wake goes.
    [[nodiscard]] Wake postLater(std::function<void()> call);
    // True while a call runs or waits to run.
    bool busy() const;
    // The calls that wait to run (not the one running).
    size_t waiting() const;
    // True when called from the queue's own thread.
    bool onQueue() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    static void serve(const std::shared_ptr<State>& state);
    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace zel
