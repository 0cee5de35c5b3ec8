#include "windows/OuterFrame.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

#include "windows/ApiSpecials.h"
#include "windows/ScreenUnits.h"

namespace zel {

OuterFrame::OuterFrame(QWidget& window)
    : QObject(&window), window_(window), asked_(OuterGeometry(window)) {
    window_.installEventFilter(this);
}

float OuterFrame::Height() const {
    return OuterGeometry(window_).height() * TwipsPerPixelY();
}
float OuterFrame::Width() const {
    return OuterGeometry(window_).width() * TwipsPerPixelX();
}
float OuterFrame::Top() const {
    return OuterGeometry(window_).y() * TwipsPerPixelY();
}
float OuterFrame::Left() const {
    return OuterGeometry(window_).x() * TwipsPerPixelX();
}

void OuterFrame::setHeight(float twips) {
    const QRect outer = OuterGeometry(window_);
    place({outer.topLeft(), QSize(outer.width(), PixelsY(twips))});
}
void OuterFrame::setWidth(float twips) {
    const QRect outer = OuterGeometry(window_);
    place({outer.topLeft(), QSize(PixelsX(twips), outer.height())});
}
void OuterFrame::setTop(float twips) {
    const QRect outer = OuterGeometry(window_);
    place(outer.translated(0, PixelsY(twips) - outer.y()));
}
void OuterFrame::setLeft(float twips) {
    const QRect outer = OuterGeometry(window_);
    place(outer.translated(PixelsX(twips) - outer.x(), 0));
}

// By value: the events of the placement itself update what was asked.
void OuterFrame::place(QRect outer) {
    asked_ = outer;
    assumed_ = FrameMargins(window_);
    SetOuterGeometry(window_, outer);
}

// The window's own move, resize and show, and its native window's exposure (which comes once
// the window manager has framed it, with no move or resize of the client area).
bool OuterFrame::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == &window_ && type == QEvent::Show && native_ != window_.windowHandle()) {
        if (native_) native_->removeEventFilter(this);
        native_ = window_.windowHandle();
        if (native_) native_->installEventFilter(this);
    }
    const bool own = watched == &window_ &&
                     (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show);
    if (own || (watched == native_ && type == QEvent::Expose)) follow();
    return false;
}

// A frame other than the one the placement assumed: ask for the same outer frame again. With
// the frame as assumed, a change comes from the user or the window manager and is kept.
void OuterFrame::follow() {
    if (!window_.isVisible() || window_.windowState() != Qt::WindowNoState ||
        !FrameSettled(window_))
        return;
    if (FrameMargins(window_) == assumed_) {
        asked_ = OuterGeometry(window_);
        return;
    }
    place(asked_);
}

}  // namespace zel
