#include "text/CharacterCells.h"

#include <unicode/uchar.h>

namespace zel {

int cellsOf(char32_t c) {
    // Printable ASCII is the bulk of every report.
    if (c >= 0x20 && c < 0x7F) return 1;
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

}  // namespace zel
