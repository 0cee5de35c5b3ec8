#include "surface/ImageSurface.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace zel {

namespace {

constexpr double TwipsPerInch = 1440.0;

double screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

}  // namespace

ImageSurface::ImageSurface(QSize pixels)
    : twipsPerPixel_(TwipsPerInch / screenDpi()),
      image_(pixels.expandedTo(QSize(1, 1)), QImage::Format_RGB32) {
    // Fonts are sized in points at the screen's resolution.
    const int dotsPerMeter = qRound(screenDpi() / 0.0254);
    image_.setDotsPerMeterX(dotsPerMeter);
    image_.setDotsPerMeterY(dotsPerMeter);
    image_.fill(colourFromVb(backColor_));
}

void ImageSurface::resize(QSize pixels) {
    pixels = pixels.expandedTo(QSize(1, 1));
    if (pixels == image_.size()) return;
    QImage larger(pixels, QImage::Format_RGB32);
    larger.setDotsPerMeterX(image_.dotsPerMeterX());
    larger.setDotsPerMeterY(image_.dotsPerMeterY());
    larger.fill(colourFromVb(backColor_));
    QPainter(&larger).drawImage(0, 0, image_);
    image_ = larger;
    changed();
}

void ImageSurface::Cls() {
    image_.fill(colourFromVb(backColor_));
    setCurrentX(scaleLeft_);
    setCurrentY(scaleTop_);
    changed();
}

void ImageSurface::setBackColor(int32_t colour) {
    backColor_ = colour;
    image_.fill(colourFromVb(backColor_));
    changed();
}

float ImageSurface::ScaleWidth() const {
    return float(image_.width() * twipsPerPixel_);
}

float ImageSurface::ScaleHeight() const {
    return float(image_.height() * twipsPerPixel_);
}

void ImageSurface::paint(const std::function<void(QPainter&)>& draw) {
    {
        QPainter painter(&image_);
        draw(painter);
    }
    changed();
}

void ImageSurface::changed() {
    if (changed_) changed_();
}

}  // namespace zel
