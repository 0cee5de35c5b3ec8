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
    const QRect frame = OuterGeometry(window);
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
    if (FrameSettled(window)) SetOuterGeometry(window, QRect(left, top, width, height));
    if (window.isHidden()) window.show();
    // The offscreen platform has no stacking order and warns at every raise.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) window.raise();
}

QMargins FrameMargins(const QWidget& window) {
    const QWindow* native = window.windowHandle();
    return native ? native->frameMargins() : QMargins();
}

bool FrameSettled(const QWidget& window) {
    const QMargins frame = FrameMargins(window);
    const bool sidesReal =
        frame.left() >= 0 && frame.top() >= 0 && frame.right() >= 0 && frame.bottom() >= 0;
    return sidesReal && frame.left() + frame.right() <= window.width() &&
           frame.top() + frame.bottom() <= window.height();
}

// Qt's own frame geometry keeps the frame it measured last, which can be one the window manager
// had not sized yet: the outer measures go through the frame as the native window knows it now.
QRect OuterGeometry(const QWidget& window) {
    return window.geometry().marginsAdded(FrameMargins(window));
}

void SetOuterGeometry(QWidget& window, const QRect& outer) {
    const QRect client = outer.marginsRemoved(FrameMargins(window));
    if (client != window.geometry()) window.setGeometry(client);
}

}  // namespace zel
