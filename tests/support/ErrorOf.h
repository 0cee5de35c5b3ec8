#pragma once

#include "variant/VbError.h"

namespace zel::testing {

// The error number an operation raises, or 0 when it succeeds.
template <typename F>
int errorOf(F&& operation) {
    try {
        operation();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace zel::testing
