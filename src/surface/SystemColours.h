#pragma once

#include <cstdint>

#include "variant/Variant.h"

namespace zel {

// A colour value as the platform's colour properties take it, converted to Long: an RGB value
// (red in the low byte, 0 to 16 777 215) as it is, or a system colour (0x80000000 plus the
// index of a desktop element, such as 8 for window text or 15 for a button's face) as the
// desktop palette's colour for that element. Any other value is 380 (invalid property value):
// cut to 24 bits it would print in an arbitrary colour, -1 in white.
int32_t RgbColour(const Variant& colour);

// The desktop palette's colour (0x00BBGGRR) of a desktop element, index 0 to 30 but 25. Until a
// program with a display platform sets one (setDesktopColours), the elements take Qt's standard
// palette, as on a desktop without a theme: a job without a GUI application has no desktop.
using DesktopColours = int32_t (*)(int element);
void setDesktopColours(DesktopColours colours);

}  // namespace zel
