#include "text/CharacterCells.h"

#include <unicode/uchar.h>

#include <atomic>
#include <cstdint>
#include <memory>

namespace zel {

namespace {

int lookUp(char32_t c) {
    const UChar32 code = UChar32(c);
    switch (u_charType(code)) {
        case U_NON_SPACING_MARK:
        case U_ENCLOSING_MARK:
        case U_COMBINING_SPACING_MARK:
        case U_FORMAT_CHAR:
            return 0;
        default:
            break;
    }
    const int width = u_getIntPropertyValue(code, UCHAR_EAST_ASIAN_WIDTH);
    return width == U_EA_WIDE || width == U_EA_FULLWIDTH ? 2 : 1;
}

}  // namespace

int cellsOf(char32_t c) {
    // Printable ASCII is the bulk of every report; the rest of the BMP is asked once.
    if (c >= 0x20 && c < 0x7F) return 1;
    if (c >= 0x10000) return lookUp(c);
    // Shared by every print context's thread; a character asked twice at once gets the same.
    static const std::unique_ptr<std::atomic<int8_t>[]> cells = [] {
        std::unique_ptr<std::atomic<int8_t>[]> made(new std::atomic<int8_t>[0x10000]);
        for (int i = 0; i < 0x10000; ++i) made[i].store(-1, std::memory_order_relaxed);
        return made;
    }();
    int8_t known = cells[c].load(std::memory_order_relaxed);
    if (known < 0) {
        known = int8_t(lookUp(c));
        cells[c].store(known, std::memory_order_relaxed);
    }
    return known;
}

}  // namespace zel
