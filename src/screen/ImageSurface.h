#pragma once

#include <QImage>
#include <QRawFont>
#include <functional>
#include <map>

class QPainter;

#include "surface/PainterSurface.h"

namespace zel {

// The main window's drawing area: a backing image (RGB32, no antialiasing) that keeps what was
// drawn. Its measures are logical pixels of the primary screen (twips per pixel = 1440 / logical
// DPI); the image holds device pixels, so that a screen scaled to 200 % shows a sharp page laid
// out as at 100 %.
// The window holds one and forwards the drawing-area members of WindowSurface to it; the outer
// frame's members (Width, Height, Top, Left, WindowState) belong to the window itself.
class ImageSurface : public PainterSurface<DrawingSurface> {
public:
    explicit ImageSurface(QSize pixels = QSize(640, 480));

    // The picture in device pixels, its device pixel ratio set.
    const QImage& image() const { return image_; }
    QSize size() const;  // logical pixels
    // New drawing-area size in logical pixels; what was drawn stays, new parts get BackColor.
    void resize(QSize pixels);
    // Device pixels per logical pixel of the screen the area is shown on; what was drawn is
    // scaled to it (sharp again from the next drawing on).
    void setDevicePixelRatio(double ratio);
    // Called after every change of the picture, so that the widget can repaint.
    void setChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

    // Fills the area with BackColor and moves the position to (ScaleLeft, ScaleTop).
    void Cls();
    int32_t BackColor() const { return backColor_; }
    // Like a form's background: the area is cleared to the new colour.
    void setBackColor(int32_t colour);

    // The twips shown at the area's left and top edge; moving them pans what is drawn next.
    float ScaleLeft() const { return scaleLeft_; }
    void setScaleLeft(float twips) { scaleLeft_ = twips; }
    float ScaleTop() const { return scaleTop_; }
    void setScaleTop(float twips) { scaleTop_ = twips; }

    float ScaleWidth() const override;
    float ScaleHeight() const override;
    double twipsPerPixel() const override { return twipsPerPixel_; }

protected:
    // The text's glyph runs, as the printer draws them.
    void drawText(const QPointF& at, const LaidOutText& text) override;
    // DrawMode combines the pen with the picture as the raster operations do.
    void drawLine(int flags, const QPointF& from, const QPointF& to, Rgb pen) override;
    FontMetrics measureFont(const QString& family, bool bold, double points) const override;
    QPointF originTwips() const override { return {scaleLeft_, scaleTop_}; }

private:
    // Runs draw with a painter on the image, in pixels, then tells the change handler.
    void paint(const std::function<void(QPainter&)>& draw);
    void changed();
    // The face at a size in points, as Qt draws glyphs of it; kept for the next text.
    const QRawFont& rawFont(const FontFace& face, double points);
    // A colour face's glyphs as their images, scaled to their ink boxes at the size.
    void drawColourRun(QPainter& painter, const QPointF& baseline, const GlyphRun& run,
                       double points);

    // A blank picture of that many logical pixels at the current ratio.
    QImage blank(QSize pixels) const;

    double twipsPerPixel_;
    double ratio_ = 1.0;
    QImage image_;
    int32_t backColor_ = 0xFFFFFF;
    float scaleLeft_ = 0;
    float scaleTop_ = 0;
    std::function<void()> changed_;
    std::map<std::pair<const FontFace*, double>, QRawFont> rawFonts_;
    std::map<std::pair<const FontFace*, uint32_t>, QImage> colourImages_;
};

}  // namespace zel
