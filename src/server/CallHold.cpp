#include "server/CallHold.h"

#include <cstdio>
#include <exception>

namespace zel {

void CallHold::run(std::function<void()> action) {
    queue_.push_back(std::move(action));
    if (busy_) return;
    busy_ = true;
    while (!queue_.empty()) {
        std::function<void()> next = std::move(queue_.front());
        queue_.pop_front();
        try {
            next();  // actions answer their client themselves, errors included
        } catch (const std::exception& e) {
            std::fprintf(stderr, "zelprint: %s\n", e.what());
        }
    }
    busy_ = false;
}

}  // namespace zel
