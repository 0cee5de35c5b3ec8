#pragma once

#include <cstdint>

#include "variant/Variant.h"

namespace zel {

class WindowSurface;

// The process-wide page grid, in twips of each device: one set for the whole process, shared
// by every print object. The margins are set by Spacing; the rest is computed from the fonts
// and device sizes by CalcPrinterMetrics and CalcScreenMetrics.
namespace mdlPrint {

extern int32_t LeftSpacing;
extern int32_t RightSpacing;
extern int32_t TopSpacing;
extern int32_t BottomSpacing;
extern Variant CharWidthPrinter;   // Single: printer TextWidth("A")
extern Variant LineHeightPrinter;  // Single: printer TextHeight("A")
extern int32_t PositionsPerLine;
extern int32_t LinesPerPage;
extern Variant CharWidthScreen;   // Single: window TextWidth("A")
extern Variant LineHeightScreen;  // Single: window TextHeight("A")
extern int32_t PageWidthScreen;   // outer window width that shows a whole printer line
extern int32_t PageHeightScreen;  // outer window height that shows a whole printer page

// Raise 6 when a margin sum leaves 32 bits and 11 for a zero cell; the variables keep their
// values from the failing step on.
void CalcPrinterMetrics();
void CalcScreenMetrics(WindowSurface& frm);

// Back to the start values (all zero or empty), for tests that reset process state.
void ResetForTests();

}  // namespace mdlPrint
}  // namespace zel
