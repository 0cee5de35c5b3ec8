#pragma once

#include <deque>
#include <functional>

namespace zel {

// The hold rule for calls that change the print state of one print context. A page
// confirmation waits inside the client's call while the event loop keeps running, so the bus
// can deliver other calls into that wait; there is one frmOk and one set of flags per context,
// and a second wait, a Reset or a release inside the first would break it. So a call into the
// context that draws, may wait, resets, clears, creates or releases runs through its hold's
// run(): while another such call is in progress (which, as they return without re-entering
// the event loop otherwise, means a wait for the user is open) it is held and runs, in arrival
// order, once that call has returned. Reads do not go through here and are answered at once;
// the calls of other contexts go through their own holds.
class CallHold {
public:
    void run(std::function<void()> action);
    // True while a held-class call is running (and so a wait may be open).
    bool busy() const { return busy_; }
    size_t pending() const { return queue_.size(); }

private:
    bool busy_ = false;
    std::deque<std::function<void()>> queue_;
};

}  // namespace zel
