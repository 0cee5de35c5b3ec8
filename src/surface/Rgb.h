#pragma once

#include <cstdint>

namespace zel {

// A colour as the PDF writer and the screen draw it: red, green and blue, 0 to 255 each.
struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    // The platform's colour value, 0x00BBGGRR (red in the low byte), as the colour properties
    // hold it.
    static constexpr Rgb fromVb(int32_t colour) {
        return {uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16)};
    }
    // Its grey level for a monochrome job, weighed 11:16:5 as Qt's qGray weighs it: grey jobs
    // print the levels they always printed.
    constexpr uint8_t grey() const { return uint8_t((red * 11 + green * 16 + blue * 5) / 32); }

    friend constexpr bool operator==(Rgb a, Rgb b) {
        return a.red == b.red && a.green == b.green && a.blue == b.blue;
    }
    friend constexpr bool operator!=(Rgb a, Rgb b) { return !(a == b); }
};

}  // namespace zel
