#pragma once

#include <QMargins>
#include <QRect>
#include <cstdint>

class QWidget;

namespace zel {

// Converts a horizontal (X) and a vertical (Y) length from twips to pixels in place, each to
// the nearest whole pixel (halves to the even neighbour), through the screen's twips per pixel
// taken as a whole number. Returns the new Y.
int32_t TwipsToPixels(int32_t& X, int32_t& Y);

// Re-applies the window's own place and size (its outer frame, in twips) and keeps it above
// other windows without activating it, so the keyboard focus stays where it was. A hidden
// window is shown.
void SetTopMost(QWidget& window);

// The window manager's frame around a top-level widget as it is known now (none before the
// window is mapped).
QMargins FrameMargins(const QWidget& window);

// False while the window manager is still framing the window: Qt then measures the frame
// against a frame window not yet sized, and gets sides below zero or a frame wider or taller
// than the window. Its outer measures mean nothing then; nothing is placed or stored by them.
bool FrameSettled(const QWidget& window);

// A top-level widget's outer frame in pixels, through the frame known now; and placing the
// widget by it.
QRect OuterGeometry(const QWidget& window);
void SetOuterGeometry(QWidget& window, const QRect& outer);

}  // namespace zel
