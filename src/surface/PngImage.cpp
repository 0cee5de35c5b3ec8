#include "surface/PngImage.h"

#include <png.h>

#include <utility>

namespace zel {

PngImage::PngImage(const QByteArray& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    // libpng frees the image itself when either step fails.
    if (!png_image_begin_read_from_memory(&image, png.constData(), size_t(png.size()))) return;
    image.format = PNG_FORMAT_RGBA;
    // Components of 16 bits are read as written, not as linear light, as Qt's reader did.
    image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return;
    width_ = int(image.width);
    height_ = int(image.height);
    pixels_ = std::move(pixels);
}

}  // namespace zel
