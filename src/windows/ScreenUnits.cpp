#include "windows/ScreenUnits.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace zel {

namespace {

QScreen* primary() {
    return QGuiApplication::primaryScreen();
}

// Without a screen (no application object yet) the common 96 dpi applies.
constexpr float FallbackTwipsPerPixel = 15.0f;

// Clamped to what a widget can measure, so that a wild stored value cannot overflow.
int toPixels(float twips, float perPixel) {
    const double pixels = std::nearbyint(double(twips) / perPixel);
    if (std::isnan(pixels)) return 0;
    return static_cast<int>(std::clamp(pixels, -double(QWIDGETSIZE_MAX), double(QWIDGETSIZE_MAX)));
}

}  // namespace

float TwipsPerPixelX() {
    QScreen* s = primary();
    return s ? float(1440.0 / s->logicalDotsPerInchX()) : FallbackTwipsPerPixel;
}

float TwipsPerPixelY() {
    QScreen* s = primary();
    return s ? float(1440.0 / s->logicalDotsPerInchY()) : FallbackTwipsPerPixel;
}

float ScreenWidth() {
    QScreen* s = primary();
    return s ? s->geometry().width() * TwipsPerPixelX() : 0.0f;
}

float ScreenHeight() {
    QScreen* s = primary();
    return s ? s->geometry().height() * TwipsPerPixelY() : 0.0f;
}

int PixelsX(float twips) {
    return toPixels(twips, TwipsPerPixelX());
}
int PixelsY(float twips) {
    return toPixels(twips, TwipsPerPixelY());
}

}  // namespace zel
