#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

#include "surface/Rgb.h"

namespace zel {

// A PNG file's pixels, decoded by libpng: rows from the top, each pixel red, green, blue and
// alpha (not premultiplied), 8 bits each. Empty (no pixels) when the data is no PNG libpng can
// read, or an image of more than 8192 pixels a side.
class PngImage {
public:
    explicit PngImage(const QByteArray& png);

    bool isNull() const { return pixels_.empty(); }
    int width() const { return width_; }
    int height() const { return height_; }
    Rgb colour(int x, int y) const {
        const uint8_t* pixel = at(x, y);
        return {pixel[0], pixel[1], pixel[2]};
    }
    uint8_t alpha(int x, int y) const { return at(x, y)[3]; }

private:
    const uint8_t* at(int x, int y) const { return &pixels_[(size_t(y) * width_ + x) * 4]; }

    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};

}  // namespace zel
