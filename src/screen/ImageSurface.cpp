#include "screen/ImageSurface.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "text/FontFace.h"

namespace zel {

namespace {

constexpr double TwipsPerInch = 1440.0;
constexpr int16_t Nop = 11;

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

QColor qColour(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

double screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

}  // namespace

FontMetrics ImageSurface::measureFont(const QString& family, bool bold, double points) const {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    const QFontMetricsF measured(font, &image_);
    return {measured.ascent(), measured.descent()};
}

ImageSurface::ImageSurface(QSize pixels) : twipsPerPixel_(TwipsPerInch / screenDpi()) {
    image_ = blank(pixels);
}

// Fonts are sized in points at the screen's logical resolution, whatever the device pixels.
QImage ImageSurface::blank(QSize pixels) const {
    pixels = pixels.expandedTo(QSize(1, 1));
    QImage image(pixels * ratio_, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio_);
    const int dotsPerMeter = qRound(screenDpi() / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(qColour(Rgb::fromVb(backColor_)));
    return image;
}

QSize ImageSurface::size() const {
    return image_.deviceIndependentSize().toSize();
}

void ImageSurface::resize(QSize pixels) {
    pixels = pixels.expandedTo(QSize(1, 1));
    if (pixels == size()) return;
    QImage larger = blank(pixels);
    QPainter(&larger).drawImage(0, 0, image_);
    image_ = larger;
    changed();
}

void ImageSurface::setDevicePixelRatio(double ratio) {
    if (ratio <= 0 || ratio == ratio_) return;
    const QSize pixels = size();
    ratio_ = ratio;
    QImage scaled = blank(pixels);
    QPainter(&scaled).drawImage(QRectF(QPointF(0, 0), QSizeF(pixels)), image_);
    image_ = scaled;
    changed();
}

void ImageSurface::Cls() {
    image_.fill(qColour(Rgb::fromVb(backColor_)));
    setCurrentX(scaleLeft_);
    setCurrentY(scaleTop_);
    changed();
}

void ImageSurface::setBackColor(int32_t colour) {
    backColor_ = colour;
    image_.fill(qColour(Rgb::fromVb(backColor_)));
    changed();
}

float ImageSurface::ScaleWidth() const {
    return float(size().width() * twipsPerPixel_);
}

float ImageSurface::ScaleHeight() const {
    return float(size().height() * twipsPerPixel_);
}

const QRawFont& ImageSurface::rawFont(const FontFace& face, double points) {
    QRawFont& raw = rawFonts_[{&face, points}];
    if (!raw.isValid())
        raw = QRawFont(face.fileData(), points * TwipsPerInch / 72 / twipsPerPixel_);
    return raw;
}

void ImageSurface::drawText(const QPointF& at, const LaidOutText& text) {
    const QPointF baseline(at.x(), at.y() + metrics().ascent);
    paint([&](QPainter& painter) {
        painter.setPen(qColour(Rgb::fromVb(ForeColor())));
        for (const GlyphRun& run : text) {
            if (run.face->colour()) {
                drawColourRun(painter, baseline, run, text.points() * run.scale);
                continue;
            }
            QGlyphRun glyphs;
            glyphs.setRawFont(rawFont(*run.face, text.points() * run.scale));
            glyphs.setGlyphIndexes(QList<quint32>(run.glyphs.begin(), run.glyphs.end()));
            QList<QPointF> positions;
            positions.reserve(qsizetype(run.glyphs.size()));
            for (size_t i = 0; i < run.glyphs.size(); ++i)
                positions.append(QPointF(run.x[i], run.y[i]) / twipsPerPixel_);
            glyphs.setPositions(positions);
            painter.drawGlyphRun(baseline, glyphs);
        }
    });
}

void ImageSurface::drawColourRun(QPainter& painter, const QPointF& baseline, const GlyphRun& run,
                                 double points) {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double pixelsPerUnit =
        points * TwipsPerInch / 72 / twipsPerPixel_ / run.face->unitsPerEm();
    for (size_t i = 0; i < run.glyphs.size(); ++i) {
        QImage& image = colourImages_[{run.face, run.glyphs[i]}];
        if (image.isNull()) image = QImage::fromData(run.face->png(run.glyphs[i]));
        if (image.isNull()) continue;
        const hb_glyph_extents_t box = run.face->extents(run.glyphs[i]);
        const QPointF origin = baseline + QPointF(run.x[i], run.y[i]) / twipsPerPixel_;
        painter.drawImage(QRectF(origin.x() + box.x_bearing * pixelsPerUnit,
                                 origin.y() - box.y_bearing * pixelsPerUnit,
                                 box.width * pixelsPerUnit, -box.height * pixelsPerUnit),
                          image);
    }
    painter.restore();
}

void ImageSurface::drawLine(int flags, const QPointF& from, const QPointF& to, Rgb pen) {
    const int16_t mode = DrawMode();
    if (mode == Nop) return;
    paint([&](QPainter& painter) {
        painter.setCompositionMode(compositionFor(mode));
        if (flags & LineFilledBox) {
            // Both corners belong to the box, as they do to its outline.
            painter.fillRect(QRectF(from, to).normalized().adjusted(0, 0, 1, 1), qColour(pen));
            return;
        }
        painter.setPen(QPen(qColour(pen), DrawWidth()));
        painter.setBrush(Qt::NoBrush);
        if (flags & LineBox)
            painter.drawRect(QRectF(from, to).normalized());
        else
            painter.drawLine(from, to);
    });
}

void ImageSurface::paint(const std::function<void(QPainter&)>& draw) {
    {
        QPainter painter(&image_);
        draw(painter);
    }
    changed();
}

void ImageSurface::changed() {
    if (changed_) changed_();
}

}  // namespace zel
