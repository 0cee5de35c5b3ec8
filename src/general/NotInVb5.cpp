#include "general/NotInVb5.h"

#include <initializer_list>

namespace zel::NotInVb5 {

namespace {

// The first value, replaced by each later given one that compares `wanted` (1 or -1) to it.
Variant extreme(int wanted, const Variant& A, std::initializer_list<const Variant*> rest) {
    Variant result = A;
    for (const Variant* next : rest) {
        if (!next->isMissing() && compare(*next, result) == wanted) result = *next;
    }
    return result;
}

}  // namespace

Variant MaxOf(const Variant& A, const Variant& B, const Variant& C, const Variant& D,
              const Variant& E, const Variant& F, const Variant& G, const Variant& H) {
    return extreme(1, A, {&B, &C, &D, &E, &F, &G, &H});
}

Variant MinOf(const Variant& A, const Variant& B, const Variant& C, const Variant& D,
              const Variant& E, const Variant& F, const Variant& G, const Variant& H) {
    return extreme(-1, A, {&B, &C, &D, &E, &F, &G, &H});
}

}  // namespace zel::NotInVb5
