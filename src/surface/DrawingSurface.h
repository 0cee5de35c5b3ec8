#pragma once

#include <QString>
#include <cstdint>

namespace zel {

// Flags of DrawingSurface::Line. A straight line with its own colour is
// LineStart | LineColour (6); a box outline adds LineBox (0x16); a filled box uses
// LineFilledBox instead (0x26). Without LineColour the surface's ForeColor is used.
enum LineFlags : int {
    LineStart = 0x02,
    LineColour = 0x04,
    LineBox = 0x10,
    LineFilledBox = 0x20,
};

// What the print object draws on: a printer or a window. All positions and sizes are twips
// (1/1440 inch) of the surface; colours are 0x00BBGGRR (red in the low byte); font sizes are
// points. Members raise VbError where the device refuses (380 for a value it cannot take).
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // Print position: text is placed with its cell's top-left corner here.
    virtual float CurrentX() const = 0;
    virtual void setCurrentX(float twips) = 0;
    virtual float CurrentY() const = 0;
    virtual void setCurrentY(float twips) = 0;

    // The drawable area.
    virtual float ScaleWidth() const = 0;
    virtual float ScaleHeight() const = 0;

    // Extent of a text in the current font; the height is ascent + descent.
    virtual float TextWidth(const QString& text) = 0;
    virtual float TextHeight(const QString& text) = 0;

    // A line, box outline or filled box from (x1, y1) to (x2, y2) in DrawWidth and DrawMode.
    // Leaves the position at (x2, y2).
    virtual void Line(int flags, float x1, float y1, float x2, float y2, int32_t colour) = 0;

    // The text at the position; without a line end the position moves past the text, with
    // one it goes back to the left edge (x = 0) and one text line down.
    virtual void Print(const QString& text, bool lineEnd) = 0;

    virtual int32_t ForeColor() const = 0;
    virtual void setForeColor(int32_t colour) = 0;
    // Line width: on the printer device pixels of 600 dpi, on the window screen pixels.
    virtual int16_t DrawWidth() const = 0;
    virtual void setDrawWidth(int16_t pixels) = 0;  // 380 below 1
    // Two-operand raster mode 1..16 for lines and boxes (13 copies the pen); 380 outside.
    virtual int16_t DrawMode() const = 0;
    virtual void setDrawMode(int16_t mode) = 0;

    virtual QString FontName() const = 0;
    virtual void setFontName(const QString& name) = 0;  // 380 for a font that does not resolve
    virtual float FontSize() const = 0;
    virtual void setFontSize(float points) = 0;  // 380 outside 0 < points <= 2160
    virtual bool FontBold() const = 0;
    virtual void setFontBold(bool bold) = 0;
};

}  // namespace zel
