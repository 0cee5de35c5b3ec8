#pragma once

#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <cmath>

namespace zel {

// A sheet of paper and the area a printer prints on it, in points (1/72 inch), in an
// orientation. CUPS measures a paper and its unprintable edges in hundredths of a millimetre;
// the sheet is kept in whole points (A4 is 595 x 842, as PDF readers show it), the edges as
// measured. Turning the sheet swaps its width and height; each edge keeps its side (the left
// edge stays on the left), as Qt's page layouts keep their margins.
class PageLayout {
public:
    enum class Orientation { Portrait, Landscape };

    PageLayout() = default;
    // A portrait sheet of width x length hundredths of a millimetre, with its unprintable edges
    // (left, top, right, bottom) in the same unit.
    PageLayout(int width, int length, const QMarginsF& edges = {})
        : portrait_(wholePoints(width), wholePoints(length)),
          margins_(edges.left() * PointsPerHundredthMm, edges.top() * PointsPerHundredthMm,
                   edges.right() * PointsPerHundredthMm, edges.bottom() * PointsPerHundredthMm) {}

    void setOrientation(Orientation orientation) { orientation_ = orientation; }

    // The whole sheet in points, its top-left corner at 0,0.
    QRectF fullRect() const {
        return QRectF(QPointF(0, 0),
                      orientation_ == Orientation::Landscape ? portrait_.transposed() : portrait_);
    }
    // The printable area in points, on the sheet's coordinates.
    QRectF paintRect() const { return fullRect().marginsRemoved(margins_); }

private:
    static constexpr double PointsPerHundredthMm = 72.0 / 2540.0;
    static double wholePoints(int hundredthsMm) {
        return std::round(hundredthsMm * PointsPerHundredthMm);
    }

    QSizeF portrait_;
    QMarginsF margins_;  // points
    Orientation orientation_ = Orientation::Portrait;
};

}  // namespace zel
