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

// Places a top-level widget by its outer frame, in pixels, through the frame known now.
void SetOuterGeometry(QWidget& window, const QRect& outer);

}  // namespace zel
