#pragma once

#include <QPointF>
#include <memory>
#include <optional>

#include "surface/Fonts.h"
#include "surface/PrinterSurface.h"
#include "surface/Rgb.h"
#include "text/TextLayout.h"

namespace zel {

// The drawing members of a surface: position, pen and font, and the mapping of twips to the
// device. Surface is the interface the concrete surface offers (DrawingSurface for the window's
// area, PrinterSurface for the printer); the concrete surface draws through the hooks below.
// Positions are twips, mapped to device pixels as (twips - origin) / twipsPerPixel.
template <class Surface>
class PainterSurface : public Surface {
public:
    float CurrentX() const override { return x_; }
    void setCurrentX(float twips) override { x_ = twips; }
    float CurrentY() const override { return y_; }
    void setCurrentY(float twips) override { y_ = twips; }

    float TextWidth(const QString& text) override;
    float TextHeight(const QString& text) override;
    void Line(int flags, float x1, float y1, float x2, float y2, int32_t colour) override;
    void Print(const QString& text, bool lineEnd) override;

    int32_t ForeColor() const override { return foreColor_; }
    void setForeColor(int32_t colour) override { foreColor_ = colour; }
    int16_t DrawWidth() const override { return drawWidth_; }
    void setDrawWidth(int16_t pixels) override;
    int16_t DrawMode() const override { return drawMode_; }
    void setDrawMode(int16_t mode) override;

    QString FontName() const override { return fontName_; }
    void setFontName(const QString& name) override;
    float FontSize() const override { return points_; }
    void setFontSize(float points) override;
    bool FontBold() const override { return bold_; }
    void setFontBold(bool bold) override;

protected:
    PainterSurface();

    // A non-empty text laid out in the current font, in ForeColor, its first cell's top-left
    // corner at the device point; the surface records that something was drawn.
    virtual void drawText(const QPointF& at, const LaidOutText& text) = 0;
    // A line, box outline or filled box (flags as Line's) between two device points, in the
    // pen colour, DrawWidth and DrawMode.
    virtual void drawLine(int flags, const QPointF& from, const QPointF& to, Rgb pen) = 0;
    // The ascent and descent of the family's face, bold or not, at the size on the device.
    virtual FontMetrics measureFont(const QString& family, bool bold, double points) const = 0;
    virtual double twipsPerPixel() const = 0;
    // The twips shown at the device's top-left pixel; a line end returns CurrentX to its x.
    virtual QPointF originTwips() const { return {}; }

    // The current font's ascent and descent on the device, in device pixels.
    const FontMetrics& metrics() const;
    // The layout of texts in the current font, the same on every surface.
    TextLayout& textLayout() const;
    void resetPosition() { x_ = y_ = 0; }

private:
    QPointF toDevice(float x, float y) const;
    void fontChanged();
    // The family the current font resolved to.
    const QString& family() const;

    float x_ = 0;
    float y_ = 0;
    int32_t foreColor_ = 0;
    int16_t drawWidth_ = 1;
    int16_t drawMode_ = 13;
    QString fontName_;
    float points_ = 10;
    bool bold_ = false;
    // Resolved when first needed: a surface that never prints text asks fontconfig nothing.
    mutable std::optional<QString> family_;
    // Measuring a font is costly (so is every question to its measures) and every line asks:
    // kept until the font changes.
    mutable std::optional<FontMetrics> metrics_;
    mutable std::unique_ptr<TextLayout> layout_;
};

extern template class PainterSurface<DrawingSurface>;
extern template class PainterSurface<PrinterSurface>;

}  // namespace zel
