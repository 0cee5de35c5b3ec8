#include "surface/PainterSurface.h"

#include "surface/PrinterSurface.h"
#include "variant/VbError.h"

namespace zel {

template <class Surface>
PainterSurface<Surface>::PainterSurface() : fontName_(QStringLiteral("Courier New")) {}

template <class Surface>
QPointF PainterSurface<Surface>::toDevice(float x, float y) const {
    const QPointF origin = originTwips();
    return {(x - origin.x()) / twipsPerPixel(), (y - origin.y()) / twipsPerPixel()};
}

template <class Surface>
const QString& PainterSurface<Surface>::family() const {
    if (!family_) family_ = resolveFont(fontName_);
    return *family_;
}

template <class Surface>
const FontMetrics& PainterSurface<Surface>::metrics() const {
    if (!metrics_) metrics_ = measureFont(family(), bold_, points_);
    return *metrics_;
}

template <class Surface>
TextLayout& PainterSurface<Surface>::textLayout() const {
    if (!layout_) layout_ = std::make_unique<TextLayout>(family(), bold_, points_);
    return *layout_;
}

template <class Surface>
float PainterSurface<Surface>::TextWidth(const QString& text) {
    return float(textLayout().width(text));
}

template <class Surface>
float PainterSurface<Surface>::TextHeight(const QString&) {
    return float((metrics().ascent + metrics().descent) * twipsPerPixel());
}

template <class Surface>
void PainterSurface<Surface>::Line(int flags, float x1, float y1, float x2, float y2,
                                   int32_t colour) {
    if (!(flags & LineStart)) {
        x1 = x_;
        y1 = y_;
    }
    drawLine(flags, toDevice(x1, y1), toDevice(x2, y2),
             Rgb::fromVb((flags & LineColour) ? colour : foreColor_));
    x_ = x2;
    y_ = y2;
}

template <class Surface>
void PainterSurface<Surface>::Print(const QString& text, bool lineEnd) {
    double width = 0;
    if (!text.isEmpty()) {
        const LaidOutText& laidOut = textLayout().layout(text);
        drawText(toDevice(x_, y_), laidOut);
        width = laidOut.width();
    }
    if (lineEnd) {
        x_ = float(originTwips().x());
        y_ += TextHeight(text);
    } else {
        x_ += float(width);
    }
}

template <class Surface>
void PainterSurface<Surface>::fontChanged() {
    metrics_.reset();
    layout_.reset();
}

template <class Surface>
void PainterSurface<Surface>::setDrawWidth(int16_t pixels) {
    if (pixels < 1) throw VbError(VbErr::InvalidPropertyValue);
    drawWidth_ = pixels;
}

template <class Surface>
void PainterSurface<Surface>::setDrawMode(int16_t mode) {
    if (mode < 1 || mode > 16) throw VbError(VbErr::InvalidPropertyValue);
    drawMode_ = mode;
}

template <class Surface>
void PainterSurface<Surface>::setFontName(const QString& name) {
    family_ = resolveFont(name);
    fontName_ = name;
    fontChanged();
}

template <class Surface>
void PainterSurface<Surface>::setFontSize(float points) {
    checkFontSize(points);
    points_ = points;
    fontChanged();
}

template <class Surface>
void PainterSurface<Surface>::setFontBold(bool bold) {
    bold_ = bold;
    fontChanged();
}

template class PainterSurface<DrawingSurface>;
template class PainterSurface<PrinterSurface>;

}  // namespace zel
