#include <cstdint>

#include "print/OutputMode.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "surface/PrinterSurface.h"
#include "print/SystemColours.h"
#include "variant/VbError.h"

namespace zel {

namespace {

// Holds UitvoerMode at a replay's mode and gives the old one back however the replay ends,
// so that a failing element does not leave the object drawing in the wrong mode.
class ModeOverride {
public:
    ModeOverride(Variant& mode, const Variant& replayMode) : mode_(mode), saved_(mode) {
        mode_ = replayMode;
    }
    ~ModeOverride() { mode_ = saved_; }
    ModeOverride(const ModeOverride&) = delete;
    ModeOverride& operator=(const ModeOverride&) = delete;

private:
    Variant& mode_;
    Variant saved_;
};

// Issues one stored element again through the public operation that made it, with storing
// off. The fields go over with their stored types; a copy, so that nothing the operation
// does to the store can pull the element from under it. Watermarks only come from the body.
void replay(clsPrint& print, PrintElement e, bool withWatermarks) {
    const Variant regel = Variant::Double(e.Regel);
    const Variant positie = Variant::Double(e.Positie);
    const Variant kleur = Variant::Long(e.Kleur);
    switch (e.Soort) {
        case 1:
            print.AddTekst(regel, positie, Variant(e.Tekst), kleur, e.DrawMode, false);
            break;
        case 2:
            print.AddBox(regel, positie, Variant::Double(e.RegelTot), Variant::Double(e.PositieTot),
                         kleur, e.FillArea, Variant::Long(e.Dikte), e.DrawMode, false);
            break;
        case 3:
            print.AddLine(regel, positie, Variant::Double(e.RegelTot),
                          Variant::Double(e.PositieTot), kleur, Variant::Long(e.Dikte), e.DrawMode,
                          false);
            break;
        case 4:
            if (withWatermarks) print.Watermerk(Variant(e.Tekst), regel, positie, kleur, false);
            break;
        default:
            break;
    }
}

// A replay's loop limit, taken once: Empty replays nothing, a fraction runs up to it.
double replayLimit(const Variant& count) {
    return count.toDouble();
}

int32_t roundedLine(double regel) {
    return Variant::Double(regel).toLong();
}

}  // namespace

int32_t clsPrint::PrintKopregels(const Variant& Mode) {
    int32_t highest = 0;
    const OutputMode mode = outputMode(Mode);
    if (drawsOnScreen(mode)) {
        context_->frm().Cls();
        if (HorLinesOn_) SchermHorLines();
        if (CrossLinesOn_) SchermCrossLines();
    }
    if (drawsOnPrinter(mode)) {
        PrinterSurface& printer = context_->printer();
        // Only a sheet that holds output is ejected; a sheet that holds nothing serves as the
        // new page. A watermark or frame restores the position but still counts as output.
        if (printer.SheetWrittenOn()) {
            try {
                printer.NewPage();
            } catch (const VbError&) {
                // The next sheet is drawn on all the same.
            }
            printer.setCurrentX(0);
            printer.setCurrentY(0);
        }
        if (HorLinesOn_) PrinterHorLines();
        if (CrossLinesOn_) PrinterCrossLines();
    }

    const ModeOverride replayMode(UitvoerMode_, Mode);
    const double limit = replayLimit(MaxKopregel);
    for (int32_t i = 1; i <= limit; ++i) {
        const PrintElement& e = Kopregels_.at(i);
        const double regel = e.Regel;
        replay(*this, e, false);
        // Compared unrounded, kept rounded: lines 1 and 2.5 give 2, lines 1, 3 and 2.5 give 3.
        if (regel > highest) highest = roundedLine(regel);
    }
    return highest;
}

void clsPrint::PrintDetailregels() {
    const PrintElement& snapshot = Detailregels_.at(0);
    StartLine = roundedLine(snapshot.Regel);
    HorLinesOn_ = snapshot.HorLinesOn != 0;
    CrossLinesOn_ = snapshot.CrossLinesOn != 0;

    // The page under confirmation is redrawn on the screen only: its printer sheet already
    // holds it.
    const ModeOverride replayMode(UitvoerMode_, Variant("S"));
    const double limit = replayLimit(MaxDetailregel);
    for (int32_t i = 1; i <= limit; ++i) replay(*this, Detailregels_.at(i), true);
}

// --- Device primitives ---

// The frame and the diagonals look the same on every page and at every redraw of a page: one
// pixel wide, in copy mode and the report's text colour, whatever the element drawn before them
// left on the surface (a redraw drew them in the width of the page's last line).
void clsPrint::gridLines(DrawingSurface& surface, bool cross, float width, float height) {
    const float x = surface.CurrentX();
    const float y = surface.CurrentY();
    const int16_t drawWidth = surface.DrawWidth();
    const int16_t drawMode = surface.DrawMode();
    const int32_t colour = RgbColour(PrintForeColor_);
    surface.setDrawWidth(1);
    surface.setDrawMode(13);
    const auto line = [&surface, colour](double x1, double y1, double x2, double y2) {
        surface.Line(LineStart | LineColour, static_cast<float>(x1), static_cast<float>(y1),
                     static_cast<float>(x2), static_cast<float>(y2), colour);
    };
    const double w = width;
    const double h = height;
    if (cross) {
        line(0, 0, w, h);
        line(w, 0, 0, h);
    } else {
        line(0, context_->geometry().TopSpacing, w, context_->geometry().TopSpacing);
        line(0, h - context_->geometry().BottomSpacing, w, h - context_->geometry().BottomSpacing);
        line(context_->geometry().LeftSpacing, 0, context_->geometry().LeftSpacing, h);
        line(w - context_->geometry().RightSpacing, 0, w - context_->geometry().RightSpacing, h);
    }
    surface.setDrawWidth(drawWidth);
    surface.setDrawMode(drawMode);
    surface.setCurrentX(x);
    surface.setCurrentY(y);
}

void clsPrint::PrinterHorLines() {
    PrinterSurface& printer = context_->printer();
    gridLines(printer, false, printer.ScaleWidth(), printer.ScaleHeight());
}

void clsPrint::PrinterCrossLines() {
    PrinterSurface& printer = context_->printer();
    gridLines(printer, true, printer.ScaleWidth(), printer.ScaleHeight());
}

namespace {

// The screen page's far edges are 32-bit whole numbers; leaving that range is an overflow.
void checkScreenEdge(int32_t extent, int32_t margin) {
    const int64_t edge = int64_t{extent} - margin;
    if (edge < INT32_MIN || edge > INT32_MAX) throw VbError(VbErr::Overflow);
}

}  // namespace

void clsPrint::SchermHorLines() {
    // The mark lets a redraw of this page switch the frame on for the pages after it. Before
    // the first page the store does not exist yet; the page start records the flags itself.
    if (Detailregels_.exists()) Detailregels_.at(0).HorLinesOn = -1;
    checkScreenEdge(context_->geometry().PageHeightScreen, context_->geometry().BottomSpacing);
    checkScreenEdge(context_->geometry().PageWidthScreen, context_->geometry().RightSpacing);
    gridLines(context_->frm(), false, static_cast<float>(context_->geometry().PageWidthScreen),
              static_cast<float>(context_->geometry().PageHeightScreen));
}

void clsPrint::SchermCrossLines() {
    if (Detailregels_.exists()) Detailregels_.at(0).CrossLinesOn = -1;
    gridLines(context_->frm(), true, static_cast<float>(context_->geometry().PageWidthScreen),
              static_cast<float>(context_->geometry().PageHeightScreen));
}

void clsPrint::PrinterTekst(const Variant& Tekst) {
    PrinterSurface& printer = context_->printer();
    printer.setFontTransparent(true);
    printer.setBackgroundTransparent();
    try {
        printer.Print(Tekst.toString(), true);
    } catch (const VbError&) {
        // A text the printer cannot take is dropped and the report goes on; a job that its
        // destination refused is lost output, which the caller must learn of.
        if (printer.JobRefused()) throw;
    }
}

}  // namespace zel
