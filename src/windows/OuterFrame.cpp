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

float OuterFrame::get(Measure measure) const {
    const QRect outer = OuterGeometry(window_);
    switch (measure) {
        case Height:
            return outer.height() * TwipsPerPixelY();
        case Width:
            return outer.width() * TwipsPerPixelX();
        case Top:
            return outer.y() * TwipsPerPixelY();
        case Left:
            return outer.x() * TwipsPerPixelX();
    }
    return 0;
}

// A size keeps the place, a place keeps the size.
void OuterFrame::set(Measure measure, float twips) {
    QRect outer = OuterGeometry(window_);
    switch (measure) {
        case Height:
            outer.setHeight(PixelsY(twips));
            break;
        case Width:
            outer.setWidth(PixelsX(twips));
            break;
        case Top:
            outer.moveTop(PixelsY(twips));
            break;
        case Left:
            outer.moveLeft(PixelsX(twips));
            break;
    }
    place(outer);
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
