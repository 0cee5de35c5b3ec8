#pragma once

#include <cstdint>

#include "variant/Variant.h"

namespace zel {

class PrinterSurface;
class WindowSurface;

// The page grid of one print context, in twips of each device, shared by every print object
// of that context. The margins are set by Spacing; the rest is computed from the fonts and
// device sizes by CalcPrinterMetrics and CalcScreenMetrics. A new grid starts all zero or empty.
struct mdlPrint {
    int32_t LeftSpacing = 0;
    int32_t RightSpacing = 0;
    int32_t TopSpacing = 0;
    int32_t BottomSpacing = 0;
    Variant CharWidthPrinter;   // Single: printer TextWidth("A")
    Variant LineHeightPrinter;  // Single: printer TextHeight("A")
    int32_t PositionsPerLine = 0;
    int32_t LinesPerPage = 0;
    Variant CharWidthScreen;       // Single: window TextWidth("A")
    Variant LineHeightScreen;      // Single: window TextHeight("A")
    int32_t PageWidthScreen = 0;   // outer window width that shows a whole printer line
    int32_t PageHeightScreen = 0;  // outer window height that shows a whole printer page

    // Raise 6 when a margin sum leaves 32 bits and 11 for a zero cell; the variables keep their
    // values from the failing step on.
    void CalcPrinterMetrics(PrinterSurface& printer);
    void CalcScreenMetrics(PrinterSurface& printer, WindowSurface& frm);
};

}  // namespace zel
