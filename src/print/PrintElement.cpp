#include "print/PrintElement.h"

#include "variant/VbError.h"

namespace zel {

void ElementStore::recreate(int32_t upper) {
    items_.assign(static_cast<size_t>(upper - lower_ + 1), PrintElement{});
    exists_ = true;
}

void ElementStore::resizePreserve(int32_t upper) {
    if (upper < lower_) throw VbError(VbErr::SubscriptOutOfRange);
    // A client can write any count; a store that size would take the server down with it.
    if (int64_t{upper} - lower_ + 1 > MaxElements) throw VbError(VbErr::OutOfMemory);
    items_.resize(static_cast<size_t>(upper - lower_ + 1));
    exists_ = true;
}

PrintElement& ElementStore::at(int32_t index) {
    if (!exists_ || index < lower_ || index > upperBound()) {
        throw VbError(VbErr::SubscriptOutOfRange);
    }
    return items_[static_cast<size_t>(index - lower_)];
}

const PrintElement& ElementStore::at(int32_t index) const {
    return const_cast<ElementStore*>(this)->at(index);
}

}  // namespace zel
