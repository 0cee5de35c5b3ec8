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

// The colour (0x00BBGGRR) of a desktop element, index 0 to 30 but 25, in the GUI application's
// palette, which follows the desktop's theme; -1 in a program without a GUI application. The
// screen library's, in a program that links it; zelprint asks its module, which made the GUI
// application if there is one.
int32_t desktopColour(int element);

// The element's colour in Qt's standard palette, as a desktop without a theme shows it: the
// system colours of a program without a GUI application (a job in mode "P"), which has no
// desktop.
int32_t standardColour(int element);

}  // namespace zel
