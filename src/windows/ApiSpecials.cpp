#include "windows/ApiSpecials.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "windows/ScreenUnits.h"

namespace zel {

namespace {

// To the nearest whole number, halves to the even neighbour (the rounding mode is the
// default one, round to nearest even).
int32_t whole(double value) {
    return static_cast<int32_t>(std::nearbyint(value));
}

}  // namespace

int32_t TwipsToPixels(int32_t& X, int32_t& Y) {
    X = whole(double(X) / std::max(1, whole(TwipsPerPixelX())));
    Y = whole(double(Y) / std::max(1, whole(TwipsPerPixelY())));
    return Y;
}

void SetTopMost(QWidget& window) {
    const QRect frame = window.frameGeometry();
    // Left, Top, Width and Height in twips, as the window's placement gives them.
    int32_t left = whole(frame.x() * TwipsPerPixelX());
    int32_t top = whole(frame.y() * TwipsPerPixelY());
    int32_t width = whole(frame.width() * TwipsPerPixelX());
    int32_t height = whole(frame.height() * TwipsPerPixelY());
    TwipsToPixels(left, top);
    TwipsToPixels(width, height);
    // Changing window flags re-creates the native window, so only when they are missing.
    if (!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        window.setWindowFlag(Qt::WindowStaysOnTopHint);
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    SetOuterGeometry(window, QRect(left, top, width, height));
    if (window.isHidden()) window.show();
    // The offscreen platform has no stacking order and warns at every raise.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) window.raise();
}

QMargins FrameMargins(const QWidget& window) {
    const QWindow* native = window.windowHandle();
    return native ? native->frameMargins() : QMargins();
}

void SetOuterGeometry(QWidget& window, const QRect& outer) {
    const QMargins frame = FrameMargins(window);
    if (outer.topLeft() != window.pos()) window.move(outer.topLeft());
    const QSize inner = outer.size().shrunkBy(frame);
    if (inner != window.size()) window.resize(inner);
}

}  // namespace zel
