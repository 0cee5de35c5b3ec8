#pragma once

#include "surface/DrawingSurface.h"

namespace zel {

// The drawing area of the main window. It keeps what was drawn (a backing image, repainted
// when exposed). Width/Height/Top/Left are the outer frame's measures in twips; ScaleWidth/
// ScaleHeight are the drawing area's; ScaleLeft/ScaleTop are the coordinates shown at the
// drawing area's left and top edge (moving them pans the view; what is already drawn stays).
class WindowSurface : public DrawingSurface {
public:
    virtual void Cls() = 0;  // fill with BackColor, position to (ScaleLeft, ScaleTop)
    virtual int32_t BackColor() const = 0;
    virtual void setBackColor(int32_t colour) = 0;

    virtual float Width() const = 0;
    virtual void setWidth(float twips) = 0;
    virtual float Height() const = 0;
    virtual void setHeight(float twips) = 0;
    virtual float Top() const = 0;
    virtual void setTop(float twips) = 0;
    virtual float Left() const = 0;
    virtual void setLeft(float twips) = 0;

    virtual float ScaleLeft() const = 0;
    virtual void setScaleLeft(float twips) = 0;
    virtual float ScaleTop() const = 0;
    virtual void setScaleTop(float twips) = 0;

    // 0 normal, 1 minimised, 2 maximised.
    virtual int WindowState() const = 0;
    virtual void setWindowState(int state) = 0;
};

}  // namespace zel
