#include "surface/PngImage.h"

#include <png.h>

#include <cstring>
#include <utility>

namespace zel {

namespace {

// No side of an image beyond this: 256 MB of pixels at most, the limit Qt's reader kept.
constexpr png_uint_32 MaxSide = 8192;

struct Source {
    const char* data;
    size_t size;
    size_t at = 0;
};

void readSource(png_structp png, png_bytep out, size_t length) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (length > source->size - source->at) png_error(png, "truncated");
    std::memcpy(out, source->data + source->at, length);
    source->at += length;
}

// An image that cannot be read is no image: nothing is said on standard error.
[[noreturn]] void fail(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void ignore(png_structp, png_const_charp) {}

// libpng reports an error by a long jump back to where the step began: each of the two steps
// below sets its own, and holds no object with a destructor.

// The header, and every pixel to come as 8-bit RGBA. No gamma is applied, as the window's
// reader applies none: paper shows the values the font holds, as the screen does.
bool readHeader(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    png_set_expand(png);  // palette and grey below 8 bits, transparency as alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

bool readRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    return true;
}

}  // namespace

PngImage::PngImage(const QByteArray& png) {
    png_structp reader = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, fail, ignore);
    png_infop info = reader ? png_create_info_struct(reader) : nullptr;
    Source source{png.constData(), size_t(png.size())};
    if (info) {
        png_set_read_fn(reader, &source, readSource);
        png_set_user_limits(reader, MaxSide, MaxSide);
    }
    if (info && readHeader(reader, info)) {
        const png_uint_32 width = png_get_image_width(reader, info);
        const png_uint_32 height = png_get_image_height(reader, info);
        std::vector<uint8_t> pixels(size_t(width) * height * 4);
        std::vector<png_bytep> rows(height);
        for (png_uint_32 y = 0; y < height; ++y) rows[y] = &pixels[size_t(y) * width * 4];
        if (readRows(reader, rows.data())) {
            width_ = int(width);
            height_ = int(height);
            pixels_ = std::move(pixels);
        }
    }
    png_destroy_read_struct(&reader, &info, nullptr);
}

}  // namespace zel
