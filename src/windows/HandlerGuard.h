#pragma once

#include <QString>
#include <cstdio>
#include <exception>

#include "variant/VbError.h"

namespace zel {

// Runs the body of a handler that Qt calls (window events, slots, timers). An exception thrown
// through the event loop would end the process and every client's job with it, so a run-time
// error stops here: it is written to standard error and the handler's state stays as it was.
template <class Body>
void runHandler(const char* handler, Body&& body) noexcept {
    try {
        body();
    } catch (const VbError& e) {
        std::fprintf(stderr, "zelprint: %s: error %d: %s\n", handler, e.number(),
                     qPrintable(e.description()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zelprint: %s: %s\n", handler, e.what());
    } catch (...) {
        std::fprintf(stderr, "zelprint: %s: unknown error\n", handler);
    }
}

}  // namespace zel
