#include "geometry/mdlPrint.h"

#include <cmath>

#include "surface/PrinterSurface.h"
#include "surface/WindowSurface.h"
#include "variant/VbError.h"

namespace zel {

namespace {

// Margins are 32-bit whole numbers; their sum is too, and leaving that range is an overflow.
Variant marginSum(int32_t a, int32_t b) {
    const int64_t sum = int64_t{a} + int64_t{b};
    if (sum > INT32_MAX || sum < INT32_MIN) throw VbError(VbErr::Overflow);
    return Variant::Long(static_cast<int32_t>(sum));
}

// The whole part of (extent - margins) / cell, as a 32-bit number; a zero cell is division by
// zero.
int32_t cellsIn(float extent, const Variant& margins, const Variant& cell) {
    if (cell.toDouble() == 0) throw VbError(VbErr::DivisionByZero);
    return Int((Variant::Single(extent) - margins) / cell).toLong();
}

}  // namespace

void mdlPrint::CalcPrinterMetrics(PrinterSurface& printer) {
    CharWidthPrinter = Variant::Single(printer.TextWidth(QStringLiteral("A")));
    LineHeightPrinter = Variant::Single(printer.TextHeight(QStringLiteral("A")));
    PositionsPerLine =
        cellsIn(printer.ScaleWidth(), marginSum(LeftSpacing, RightSpacing), CharWidthPrinter);
    LinesPerPage =
        cellsIn(printer.ScaleHeight(), marginSum(TopSpacing, BottomSpacing), LineHeightPrinter);
}

void mdlPrint::CalcScreenMetrics(PrinterSurface& printer, WindowSurface& frm) {
    CalcPrinterMetrics(printer);
    CharWidthScreen = Variant::Single(frm.TextWidth(QStringLiteral("A")));
    LineHeightScreen = Variant::Single(frm.TextHeight(QStringLiteral("A")));
    const Variant width = Variant::Long(PositionsPerLine) * CharWidthScreen +
                          marginSum(LeftSpacing, RightSpacing) +
                          (Variant::Single(frm.Width()) - Variant::Single(frm.ScaleWidth()));
    PageWidthScreen = width.toLong();
    const Variant height = Variant::Long(LinesPerPage) * LineHeightScreen +
                           marginSum(TopSpacing, BottomSpacing) +
                           (Variant::Single(frm.Height()) - Variant::Single(frm.ScaleHeight()));
    PageHeightScreen = height.toLong();
}

}  // namespace zel
