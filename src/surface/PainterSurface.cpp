#include "surface/PainterSurface.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>

#include "surface/Fonts.h"
#include "surface/PrinterSurface.h"
#include "variant/VbError.h"

namespace zel {

namespace {

// DrawMode 1..16 as raster operations on the destination.
QPainter::CompositionMode compositionFor(int16_t mode) {
    static constexpr QPainter::CompositionMode modes[] = {
        QPainter::RasterOp_ClearDestination,            // 1 Blackness
        QPainter::RasterOp_NotSourceAndNotDestination,  // 2 NotMergePen
        QPainter::RasterOp_NotSourceAndDestination,     // 3 MaskNotPen
        QPainter::RasterOp_NotSource,                   // 4 NotCopyPen
        QPainter::RasterOp_SourceAndNotDestination,     // 5 MaskPenNot
        QPainter::RasterOp_NotDestination,              // 6 Invert
        QPainter::RasterOp_SourceXorDestination,        // 7 XorPen
        QPainter::RasterOp_NotSourceOrNotDestination,   // 8 NotMaskPen
        QPainter::RasterOp_SourceAndDestination,        // 9 MaskPen
        QPainter::RasterOp_NotSourceXorDestination,     // 10 NotXorPen
        QPainter::CompositionMode_Destination,          // 11 Nop (not drawn at all)
        QPainter::RasterOp_NotSourceOrDestination,      // 12 MergeNotPen
        QPainter::CompositionMode_SourceOver,           // 13 CopyPen
        QPainter::RasterOp_SourceOrNotDestination,      // 14 MergePenNot
        QPainter::RasterOp_SourceOrDestination,         // 15 MergePen
        QPainter::RasterOp_SetDestination,              // 16 Whiteness
    };
    return modes[mode - 1];
}

constexpr int16_t CopyPen = 13;
constexpr int16_t Nop = 11;

}  // namespace

QColor colourFromVb(int32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

template <class Surface>
PainterSurface<Surface>::PainterSurface()
    : fontName_(QStringLiteral("Courier New")), font_(fontName_, 10) {
    registerFontSubstitutes();
}

template <class Surface>
QPointF PainterSurface<Surface>::toDevice(float x, float y) const {
    const QPointF origin = originTwips();
    return {(x - origin.x()) / twipsPerPixel(), (y - origin.y()) / twipsPerPixel()};
}

template <class Surface>
float PainterSurface<Surface>::TextWidth(const QString& text) {
    return float(QFontMetricsF(font_, metricsDevice()).horizontalAdvance(text) * twipsPerPixel());
}

template <class Surface>
float PainterSurface<Surface>::TextHeight(const QString&) {
    const QFontMetricsF metrics(font_, metricsDevice());
    return float((metrics.ascent() + metrics.descent()) * twipsPerPixel());
}

template <class Surface>
void PainterSurface<Surface>::Line(int flags, float x1, float y1, float x2, float y2,
                                   int32_t colour) {
    if (!(flags & LineStart)) {
        x1 = x_;
        y1 = y_;
    }
    const QColor pen = colourFromVb((flags & LineColour) ? colour : foreColor_);
    const int16_t mode = rasterOpsSupported() ? drawMode_ : CopyPen;
    const QPointF from = toDevice(x1, y1);
    const QPointF to = toDevice(x2, y2);
    if (mode != Nop) {
        paint([&](QPainter& painter) {
            painter.setCompositionMode(compositionFor(mode));
            if (flags & LineFilledBox) {
                // Both corners belong to the box, as they do to its outline.
                painter.fillRect(QRectF(from, to).normalized().adjusted(0, 0, 1, 1), pen);
                return;
            }
            painter.setPen(QPen(pen, drawWidth_));
            painter.setBrush(Qt::NoBrush);
            if (flags & LineBox)
                painter.drawRect(QRectF(from, to).normalized());
            else
                painter.drawLine(from, to);
        });
    }
    x_ = x2;
    y_ = y2;
}

template <class Surface>
void PainterSurface<Surface>::Print(const QString& text, bool lineEnd) {
    if (!text.isEmpty()) {
        const QPointF at = toDevice(x_, y_);
        paint([&](QPainter& painter) {
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter.setFont(font_);
            const QFontMetricsF metrics(font_, painter.device());
            if (const std::optional<QColor> background = textBackground())
                painter.fillRect(QRectF(at, QSizeF(metrics.horizontalAdvance(text),
                                                   metrics.ascent() + metrics.descent())),
                                 *background);
            painter.setPen(colourFromVb(foreColor_));
            painter.drawText(QPointF(at.x(), at.y() + metrics.ascent()), text);
        });
    }
    if (lineEnd) {
        x_ = float(originTwips().x());
        y_ += TextHeight(text);
    } else {
        x_ += TextWidth(text);
    }
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
    QFont font = resolveFont(name);
    font.setPointSizeF(font_.pointSizeF());
    font.setBold(font_.bold());
    font_ = font;
    fontName_ = name;
}

template <class Surface>
void PainterSurface<Surface>::setFontSize(float points) {
    checkFontSize(points);
    font_.setPointSizeF(points);
}

template <class Surface>
std::optional<QColor> PainterSurface<Surface>::textBackground() const {
    return std::nullopt;
}

template class PainterSurface<DrawingSurface>;
template class PainterSurface<PrinterSurface>;

}  // namespace zel
