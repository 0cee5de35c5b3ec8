#include "text/BidiRuns.h"

#include <unicode/ubidi.h>

#include <algorithm>

namespace zel {

BidiRuns::BidiRuns() : bidi_(ubidi_open()) {}

BidiRuns::~BidiRuns() {
    ubidi_close(bidi_);
}

const std::vector<BidiRun>& BidiRuns::of(const QString& text) {
    runs_.assign(1, {0, int(text.size()), false});
    // Every character that reads right to left, or changes direction, lies at U+0590 or above.
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    if (!bidi_ || std::all_of(units, units + text.size(), [](char16_t u) { return u < 0x590; }))
        return runs_;
    UErrorCode error = U_ZERO_ERROR;
    ubidi_setPara(bidi_, units, int32_t(text.size()), UBIDI_LTR, nullptr, &error);
    const int32_t count = U_SUCCESS(error) ? ubidi_countRuns(bidi_, &error) : 0;
    if (U_FAILURE(error) || ubidi_getDirection(bidi_) == UBIDI_LTR) return runs_;
    runs_.clear();
    for (int32_t i = 0; i < count; ++i) {
        int32_t start = 0, length = 0;
        const UBiDiDirection direction = ubidi_getVisualRun(bidi_, i, &start, &length);
        runs_.push_back({start, length, direction == UBIDI_RTL});
    }
    return runs_;
}

}  // namespace zel
