#include "print/SystemColours.h"

#include <array>

#include "variant/VbError.h"

namespace zel {

namespace {

constexpr int32_t MaxRgb = 0xFFFFFF;
constexpr uint32_t SystemColourBase = 0x80000000u;
constexpr int32_t NoElement = -1;

// The desktop elements by their platform index (scroll bar 0 up to menu bar 30), each as Qt's
// standard palette (that of the offscreen platform) colours the role that plays the element's
// part in Qt's widgets. Index 25 names no element.
constexpr std::array<int32_t, 31> StandardColours = {
    0xEFEFEF,   // 0 scroll bar: button
    0x9F9F9F,   // 1 desktop: dark
    0xC68C30,   // 2 active title bar: highlight
    0xC68C30,   // 3 inactive title bar: highlight (inactive)
    0xEFEFEF,   // 4 menu: window
    0xFFFFFF,   // 5 window background: base
    0x767676,   // 6 window frame: shadow
    0x000000,   // 7 menu text: window text
    0x000000,   // 8 window text: text
    0xFFFFFF,   // 9 title bar text: highlighted text
    0xEFEFEF,   // 10 active border: button
    0xEFEFEF,   // 11 inactive border: button (inactive)
    0xB8B8B8,   // 12 application workspace: mid
    0xC68C30,   // 13 highlight: highlight
    0xFFFFFF,   // 14 highlighted text: highlighted text
    0xEFEFEF,   // 15 button face: button
    0x9F9F9F,   // 16 button shadow: dark
    0xBEBEBE,   // 17 grey text: text (disabled)
    0x000000,   // 18 button text: button text
    0xFFFFFF,   // 19 inactive title bar text: highlighted text (inactive)
    0xFFFFFF,   // 20 button highlight: light
    0x767676,   // 21 dark 3D shadow: shadow
    0xCACACA,   // 22 3D light: midlight
    0x000000,   // 23 tooltip text: tooltip text
    0xDCFFFF,   // 24 tooltip background: tooltip base
    NoElement,  // 25
    0xFF0000,   // 26 hot-tracked item: link
    0xC68C30,   // 27 active title bar gradient: highlight
    0xC68C30,   // 28 inactive title bar gradient: highlight (inactive)
    0xC68C30,   // 29 highlighted menu item: highlight
    0xEFEFEF,   // 30 menu bar: window
};

}  // namespace

int32_t standardColour(int element) {
    return StandardColours[size_t(element)];
}

int32_t RgbColour(const Variant& colour) {
    const int32_t value = colour.toLong();
    if (value >= 0 && value <= MaxRgb) return value;
    const uint32_t index = static_cast<uint32_t>(value) - SystemColourBase;
    if (value >= 0 || index >= StandardColours.size() || StandardColours[index] == NoElement)
        throw VbError(VbErr::InvalidPropertyValue);
    const int32_t desktop = desktopColour(int(index));
    return desktop >= 0 ? desktop : StandardColours[index];
}

}  // namespace zel
