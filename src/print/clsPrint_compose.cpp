#include <cfloat>
#include <cmath>
#include <functional>

#include "print/OutputMode.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "surface/PrinterSurface.h"
#include "print/SystemColours.h"
#include "variant/VbError.h"

namespace zel {

namespace {

int32_t resolveColour(const Variant& Kleur, const Variant& defaultColour) {
    return RgbColour(Kleur.isMissing() ? defaultColour : Kleur);
}

// Copy the pen for black, OR it with the inverted background for anything else.
Variant resolveDrawMode(const Variant& DrawMode, int32_t colour) {
    if (!DrawMode.isMissing()) return DrawMode;
    return Variant::Integer(colour == 0 ? 13 : 14);
}

// The kinds that take part in arithmetic as whole numbers (Empty as 0, True as -1).
bool wholeKind(VarType type) {
    return type == VarType::Integer || type == VarType::Long || type == VarType::Boolean ||
           type == VarType::Empty;
}

// v > 0 as the dynamic comparison answers it, directly for a whole number or a Double.
bool aboveZero(const Variant& v) {
    if (wholeKind(v.type())) return v.toLong() > 0;
    if (v.type() == VarType::Double) return v.toDouble() > 0;
    return v > Variant::Integer(0);
}

// spacing + product, a Double sum handed on as Single. Errors as the dynamic arithmetic raises
// them for a finite product.
float singleSum(int32_t spacing, double product) {
    const double sum = double(spacing) + product;
    if (std::fabs(sum) > FLT_MAX) throw VbError(VbErr::Overflow);
    return float(sum);
}

// spacing + cell x count, handed on as Single, as the dynamic arithmetic computes it for a Single
// cell and a whole count held as an Integer (a Single product) or a Long (a Double one) - the
// case of every text on the grid - without building its values. Errors as it raises them.
float cellPosition(int32_t spacing, float cell, int64_t count, bool integerCount) {
    double product;
    if (integerCount) {
        const float single = cell * float(count);
        if (!std::isfinite(single)) throw VbError(VbErr::Overflow);
        product = single;
    } else {
        product = double(cell) * double(count);  // within a double's range
    }
    return singleSum(spacing, product);
}

// One device's grid cell: x(P) = LeftSpacing + width x (P - 1), y(row) = TopSpacing + height x
// row, in dynamic-value arithmetic, handed to the device as Single.
struct Grid {
    const mdlPrint& geometry;
    const Variant& charWidth;
    const Variant& lineHeight;

    float x(const Variant& Positie) const {
        if (charWidth.type() == VarType::Single && wholeKind(Positie.type())) {
            // P - 1 stays an Integer unless P is a Long or it leaves 16 bits.
            const int64_t cells = int64_t(Positie.toLong()) - 1;
            const bool integer = Positie.type() != VarType::Long && cells >= INT16_MIN;
            if (cells >= INT32_MIN)
                return cellPosition(geometry.LeftSpacing, charWidth.toSingle(), cells, integer);
        }
        return (Variant::Long(geometry.LeftSpacing) + charWidth * (Positie - Variant::Integer(1)))
            .toSingle();
    }
    float y(const Variant& row) const {
        if (lineHeight.type() == VarType::Single && wholeKind(row.type()))
            return cellPosition(geometry.TopSpacing, lineHeight.toSingle(), row.toLong(),
                                row.type() != VarType::Long);
        if (lineHeight.type() == VarType::Single && row.type() == VarType::Double) {
            // A row between lines (a text's line pitch in lines per inch): a Double product.
            const double product = double(lineHeight.toSingle()) * row.toDouble();
            if (std::isfinite(product)) return singleSum(geometry.TopSpacing, product);
        }
        return (Variant::Long(geometry.TopSpacing) + lineHeight * row).toSingle();
    }
};

Grid screenGrid(const mdlPrint& g) {
    return {g, g.CharWidthScreen, g.LineHeightScreen};
}
Grid printerGrid(const mdlPrint& g) {
    return {g, g.CharWidthPrinter, g.LineHeightPrinter};
}

// A line or box as AddLine and AddBox draw it, rows already mapped. `store` runs between the
// device settings and the drawing, so that a refused width or mode stores nothing.
struct Figure {
    const Variant& PositieVan;
    const Variant& PositieTot;
    Variant rowVan;
    Variant rowTot;
    int32_t colour;
    const Variant& Dikte;
    const Variant& drawMode;
    int flags;
};

void drawFigure(DrawingSurface& device, const Grid& grid, const Figure& f,
                const std::function<void()>& store) {
    device.setDrawWidth(f.Dikte.toInteger());
    device.setDrawMode(f.drawMode.toInteger());
    const float x1 = grid.x(f.PositieVan);
    const float y1 = grid.y(f.rowVan);
    const float x2 = grid.x(f.PositieTot);
    const float y2 = grid.y(f.rowTot);
    store();
    device.Line(f.flags, x1, y1, x2, y2, f.colour);
}

// The screen part (the window's text colour follows the figure's), then the printer part.
void drawOnDevices(PrintContext& context, OutputMode mode, const Figure& f,
                   const std::function<void()>& store) {
    if (drawsOnScreen(mode)) {
        ContextScreen& frm = context.frm();
        frm.setForeColor(f.colour);
        drawFigure(frm, screenGrid(context.geometry()), f, store);
    }
    if (drawsOnPrinter(mode))
        drawFigure(context.printer(), printerGrid(context.geometry()), f, [] {});
}

// The page row of a client line: absolute while no page head is placed (CurrentLine -1),
// otherwise relative to the line at which the page began.
Variant rowOf(const clsPrint& print, const Variant& Regel) {
    if (print.CurrentLine == -1) return Regel - Variant::Integer(1);
    if (wholeKind(Regel.type())) {
        // Long sums while they stay within 32 bits, as the dynamic arithmetic below gives them.
        const int64_t sum = int64_t(Regel.toLong()) + print.CurrentLine;
        const int64_t row = sum - print.StartLine;
        if (sum >= INT32_MIN && sum <= INT32_MAX && row >= INT32_MIN && row <= INT32_MAX)
            return Variant::Long(int32_t(row));
    } else if (Regel.type() == VarType::Double) {
        // Double sums, as the dynamic arithmetic gives them while they stay finite.
        const double row = (Regel.toDouble() + print.CurrentLine) - print.StartLine;
        if (std::isfinite(row)) return Variant::Double(row);
    }
    return Regel + Variant::Long(print.CurrentLine) - Variant::Long(print.StartLine);
}

// The fields of a text element, in record order, so that a failing conversion keeps the
// fields before it.
void fillText(PrintElement& e, const Variant& Regel, const Variant& Positie, const Variant& Kleur,
              const Variant& DrawMode, const Variant& Tekst) {
    e.Soort = 1;
    e.Regel = Regel.toDouble();
    e.Positie = Positie.toDouble();
    e.Kleur = RgbColour(Kleur);
    e.DrawMode = DrawMode;
    e.Tekst = Tekst.toString();
}

// The fields of a box (kind 2) or line (kind 3), in record order.
void fillFigure(PrintElement& e, uint8_t soort, const Variant& Regel, const Variant& RegelTot,
                const Variant& Positie, const Variant& PositieTot, const Variant& Kleur,
                bool FillArea, const Variant& Dikte, const Variant& DrawMode) {
    e.Soort = soort;
    e.Regel = Regel.toDouble();
    e.RegelTot = RegelTot.toDouble();
    e.Positie = Positie.toDouble();
    e.PositieTot = PositieTot.toDouble();
    e.Kleur = RgbColour(Kleur);
    e.FillArea = FillArea;
    e.Dikte = Dikte.toLong();
    e.DrawMode = DrawMode;
}

// A window loaded later starts with the flag cleared: only a loaded one needs clearing, so that a
// report on the printer alone loads no window.
void clearAnnuleer(ContextWindows& windows) {
    if (windows.frmLoaded()) windows.screen().setAnnuleer(false);
}

// Centres a text in a font size and colour, prints it with `print`, and gives the device its
// position, colour and size back. A failure leaves the settings made so far.
void drawCentred(DrawingSurface& device, const QString& text, const Variant& colour,
                 const Variant& fontSize, const std::function<void()>& print) {
    const float x = device.CurrentX();
    const float y = device.CurrentY();
    const int32_t foreColor = device.ForeColor();
    const float size = device.FontSize();
    device.setForeColor(RgbColour(colour));
    device.setFontSize(fontSize.toSingle());
    const double halfWidth = device.TextWidth(text) / 2.0;
    const double halfHeight = device.TextHeight(text) / 2.0;
    device.setCurrentX(static_cast<float>(device.ScaleWidth() / 2.0 - halfWidth));
    device.setCurrentY(static_cast<float>(device.ScaleHeight() / 2.0 - halfHeight));
    print();
    device.setCurrentX(x);
    device.setCurrentY(y);
    device.setForeColor(foreColor);
    device.setFontSize(size);
}

// One slot per append: the count grows by dynamic-value addition, then the store follows it.
PrintElement& appendTo(ElementStore& store, Variant& count) {
    const Variant next = count + Variant::Integer(1);
    // A count that no store could hold leaves both as they were, instead of taking gigabytes.
    if (next.toDouble() - store.lowerBound() + 1 > ElementStore::MaxElements) {
        throw VbError(VbErr::OutOfMemory);
    }
    count = next;
    const int32_t upper = next.toLong();
    store.resizePreserve(upper);
    return store.at(upper);
}

}  // namespace

// --- Header store ---

void clsPrint::ClearKopregels() {
    Kopregels_.recreate(1);
    MaxKopregel = Variant::Integer(0);
}

PrintElement& clsPrint::appendKopregel() {
    return appendTo(Kopregels_, MaxKopregel);
}

void clsPrint::AddKopregel(const Variant& PrLine, const Variant& PrPos, const Variant& Tekst,
                           const Variant& Kleur, const Variant& DrawMode) {
    fillText(appendKopregel(), PrLine, PrPos, Kleur, DrawMode, Tekst);
}

void clsPrint::AddKopregelBox(const Variant& PrLine, const Variant& PrLineTot, const Variant& PrPos,
                              const Variant& PrPosTot, const Variant& Kleur, bool FillArea,
                              const Variant& Dikte, const Variant& DrawMode) {
    fillFigure(appendKopregel(), 2, PrLine, PrLineTot, PrPos, PrPosTot, Kleur, FillArea, Dikte,
               DrawMode);
}

void clsPrint::AddKopregelLine(const Variant& PrLine, const Variant& PrLineTot,
                               const Variant& PrPos, const Variant& PrPosTot, const Variant& Kleur,
                               const Variant& Dikte, const Variant& DrawMode) {
    fillFigure(appendKopregel(), 3, PrLine, PrLineTot, PrPos, PrPosTot, Kleur, false, Dikte,
               DrawMode);
}

// --- Body store ---

void clsPrint::ClearDetailregels(const Variant& StartRegel) {
    Detailregels_.recreate(1);
    MaxDetailregel = Variant::Integer(0);
    PrintElement& snapshot = Detailregels_.at(0);
    snapshot.Regel = StartRegel.toDouble();
    snapshot.HorLinesOn = HorLinesOn_ ? -1 : 0;
    snapshot.CrossLinesOn = CrossLinesOn_ ? -1 : 0;
}

PrintElement& clsPrint::appendDetail() {
    return appendTo(Detailregels_, MaxDetailregel);
}

void clsPrint::StoreTekst(const Variant& Regel, const Variant& Positie, const Variant& Tekst,
                          const Variant& Kleur, const Variant& DrawMode) {
    fillText(appendDetail(), Regel, Positie, Kleur, DrawMode, Tekst);
}

void clsPrint::StoreBox(const Variant& Regel, const Variant& Positie, const Variant& RegelTot,
                        const Variant& PositieTot, const Variant& Kleur, const Variant& Dikte,
                        const Variant& DrawMode, bool FillArea) {
    fillFigure(appendDetail(), 2, Regel, RegelTot, Positie, PositieTot, Kleur, FillArea, Dikte,
               DrawMode);
}

void clsPrint::StoreLine(const Variant& Regel, const Variant& Positie, const Variant& RegelTot,
                         const Variant& PositieTot, const Variant& Kleur, const Variant& Dikte,
                         const Variant& DrawMode) {
    fillFigure(appendDetail(), 3, Regel, RegelTot, Positie, PositieTot, Kleur, false, Dikte,
               DrawMode);
}

void clsPrint::StoreWatermerk(const Variant& Tekst, const Variant& FontSizeScherm,
                              const Variant& FontSizePrinter, const Variant& ForeColor) {
    PrintElement& e = appendDetail();
    e.Soort = 4;
    e.Regel = FontSizeScherm.toDouble();
    e.Positie = FontSizePrinter.toDouble();
    e.Kleur = RgbColour(ForeColor);
    e.Tekst = Tekst.toString();
}

// --- Drawing operations ---

bool clsPrint::checkPageForFigure(const Variant& RegelVan, bool AddTabel) {
    // A box or line drawn while no page is open (before the first text, after NieuwBlad or a
    // full page) starts the page first, as a text on its first line would, instead of landing
    // on the sheet before the one its text opens. The replay draws on the page it redraws, and
    // after an abort nothing asks again.
    if (!AddTabel || AnnulerenPressed) {
        takePendingStartLine(RegelVan);
        return true;
    }
    clearAnnuleer(context_->windows());
    return CheckBladVol(RegelVan, false);
}

bool clsPrint::AddTekst(const Variant& Regel, const Variant& Positie, const Variant& AfdrukTekst,
                        const Variant& Kleur, const Variant& DrawMode, bool AddTabel) {
    if (AfdrukTekst.isNull() || AfdrukTekst.isEmpty() || AnnulerenPressed) return false;
    const int32_t colour = resolveColour(Kleur, PrintForeColor_);
    const Variant drawMode = resolveDrawMode(DrawMode, colour);
    // A text that cannot be converted, or whose expansion is past the bound, fails before the
    // page check, so that it starts no page. Its codes are expanded for good only after that
    // check: "#B" and "#L" then show the page the text lands on, also when the text starts it.
    // They fill fields of a fixed width, so the page does not change the expansion's length.
    ExpandTekst(AfdrukTekst);
    clearAnnuleer(context_->windows());
    if (AddTabel) {
        if (!CheckBladVol(Regel, false)) return false;
    } else {
        takePendingStartLine(Regel);
    }
    const QString text = ExpandTekst(AfdrukTekst);

    const OutputMode mode = outputMode(UitvoerMode_);
    const auto place = [&](DrawingSurface& device, const Grid& grid) {
        device.setDrawMode(drawMode.toInteger());
        if (aboveZero(Positie)) device.setCurrentX(grid.x(Positie));
        if (aboveZero(Regel)) device.setCurrentY(grid.y(rowOf(*this, Regel)));
    };
    if (drawsOnScreen(mode)) {
        ContextScreen& frm = context_->frm();
        frm.setForeColor(colour);
        place(frm, screenGrid(context_->geometry()));
        if (AddTabel) StoreTekst(Regel, Positie, AfdrukTekst, Variant::Long(colour), drawMode);
        frm.Print(text, false);
    }
    if (drawsOnPrinter(mode)) {
        PrinterSurface& printer = context_->printer();
        // Printed text takes the element's colour, as it does on the screen.
        printer.setForeColor(colour);
        place(printer, printerGrid(context_->geometry()));
        PrinterTekst(Variant(text));
    }
    return false;
}

void clsPrint::AddLine(const Variant& RegelVan, const Variant& PositieVan, const Variant& RegelTot,
                       const Variant& PositieTot, const Variant& Kleur, const Variant& Dikte,
                       const Variant& DrawMode, bool AddTabel) {
    if (!checkPageForFigure(RegelVan, AddTabel)) return;
    const int32_t colour = resolveColour(Kleur, PrintForeColor_);
    const Variant drawMode = resolveDrawMode(DrawMode, colour);
    const Figure line{
        PositieVan, PositieTot, rowOf(*this, RegelVan), rowOf(*this, RegelTot), colour,
        Dikte,      drawMode,   LineStart | LineColour};
    drawOnDevices(*context_, outputMode(UitvoerMode_), line, [&] {
        if (AddTabel) {
            StoreLine(RegelVan, PositieVan, RegelTot, PositieTot, Variant::Long(colour), Dikte,
                      drawMode);
        }
    });
}

void clsPrint::AddBox(const Variant& RegelVan, const Variant& PositieVan, const Variant& RegelTot,
                      const Variant& PositieTot, const Variant& Kleur, bool FillArea,
                      const Variant& Dikte, const Variant& DrawMode, bool AddTabel) {
    if (!checkPageForFigure(RegelVan, AddTabel)) return;
    const int32_t colour = resolveColour(Kleur, PrintForeColor_);
    const Variant drawMode = resolveDrawMode(DrawMode, colour);
    const int flags = LineStart | LineColour | (FillArea ? LineFilledBox : LineBox);
    const Figure box{
        PositieVan, PositieTot, rowOf(*this, RegelVan), rowOf(*this, RegelTot), colour, Dikte,
        drawMode,   flags};
    drawOnDevices(*context_, outputMode(UitvoerMode_), box, [&] {
        if (AddTabel) {
            StoreBox(RegelVan, PositieVan, RegelTot, PositieTot, Variant::Long(colour), Dikte,
                     drawMode, FillArea);
        }
    });
}

void clsPrint::Watermerk(const Variant& Tekst, const Variant& FontSizeScherm,
                         const Variant& FontSizePrinter, const Variant& ForeColor, bool AddTabel) {
    ExpandTekst(Tekst);  // fails before the page check, as in AddTekst
    clearAnnuleer(context_->windows());
    if (!checkPageWithoutLine()) return;
    const QString text = ExpandTekst(Tekst);

    const OutputMode mode = outputMode(UitvoerMode_);
    if (drawsOnScreen(mode)) {
        ContextScreen& frm = context_->frm();
        drawCentred(frm, text, ForeColor, FontSizeScherm, [&] {
            if (AddTabel) StoreWatermerk(Tekst, FontSizeScherm, FontSizePrinter, ForeColor);
            frm.Print(text, true);
        });
    }
    if (drawsOnPrinter(mode)) {
        drawCentred(context_->printer(), text, ForeColor, FontSizePrinter,
                    [&] { PrinterTekst(Variant(text)); });
    }
}

void clsPrint::HorLines() {
    if (!checkPageWithoutLine()) return;
    const OutputMode mode = outputMode(UitvoerMode_);
    if (drawsOnScreen(mode)) SchermHorLines();
    if (drawsOnPrinter(mode)) PrinterHorLines();
}

void clsPrint::CrossLines() {
    if (!checkPageWithoutLine()) return;
    const OutputMode mode = outputMode(UitvoerMode_);
    if (drawsOnScreen(mode)) SchermCrossLines();
    if (drawsOnPrinter(mode)) PrinterCrossLines();
}

}  // namespace zel
