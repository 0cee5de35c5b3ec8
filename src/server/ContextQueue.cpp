#include "server/ContextQueue.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <mutex>

namespace zel {

// Shared by the queue and its thread, which may outlive the queue by the end of its last call.
struct ContextQueue::State {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> calls;
    bool running = false;
    bool ending = false;
};

ContextQueue::ContextQueue() : state_(std::make_shared<State>()) {
    thread_ = std::thread([state = state_] { serve(state); });
}

ContextQueue::~ContextQueue() {
    {
        const std::lock_guard<std::mutex> lock(state_->mutex);
        state_->ending = true;
    }
    state_->wake.notify_all();
    if (onQueue())
        thread_.detach();  // the call that dropped the queue is still on the stack
    else
        thread_.join();
}

ContextQueue::Wake& ContextQueue::Wake::operator=(Wake&& other) noexcept {
    if (state_) state_->wake.notify_one();
    state_ = std::move(other.state_);
    return *this;
}

ContextQueue::Wake::~Wake() {
    if (state_) state_->wake.notify_one();
}

void ContextQueue::post(std::function<void()> call) {
    const Wake wake = postLater(std::move(call));
}

ContextQueue::Wake ContextQueue::postLater(std::function<void()> call) {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->calls.push_back(std::move(call));
    return Wake(state_);
}

bool ContextQueue::busy() const {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->running || !state_->calls.empty();
}

size_t ContextQueue::waiting() const {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->calls.size();
}

void ContextQueue::serve(const std::shared_ptr<State>& state) {
    for (;;) {
        std::function<void()> call;
        {
            std::unique_lock<std::mutex> lock(state->mutex);
            state->wake.wait(lock, [&] { return !state->calls.empty() || state->ending; });
            if (state->calls.empty()) return;
            call = std::move(state->calls.front());
            state->calls.pop_front();
            state->running = true;
        }
        try {
            call();  // calls answer their client themselves, errors included
        } catch (const std::exception& e) {
            std::fprintf(stderr, "zelprint: %s\n", e.what());
        }
        call = nullptr;  // what it holds (maybe the queue itself) goes before it counts as done
        const std::lock_guard<std::mutex> lock(state->mutex);
        state->running = false;
    }
}

}  // namespace zel
