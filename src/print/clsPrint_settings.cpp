// Output settings: mode, orientation, the named default sets, margins, parameters and the nine
// font and colour properties.
#include "print/clsPrint.h"
#include "print/mdlPrint.h"
#include "surface/PrinterSurface.h"
#include "variant/VbError.h"
#include "windows/SystemColours.h"
#include "windows/frmPrint.h"

namespace zel {

namespace {

struct DefaultSet {
    int16_t margin;
    int16_t fontSize;
    bool bold;
};

}  // namespace

void clsPrint::SetMode(const Variant& UitvoerMode) {
    UitvoerMode_ = UitvoerMode;
}

void clsPrint::SetOrientation(const Variant& Orientation) {
    // Every error is ignored here: a value the printer refuses leaves the orientation as it was.
    // Only a job that did not reach its destination is reported, once the rest is done.
    PrinterSurface& printer = Printer();
    std::optional<VbError> undelivered;
    try {
        printer.setOrientation(Orientation.toInteger());
    } catch (const VbError& e) {
        if (e.number() == VbErr::PropertyCannotBeSetWithinPage) {
            // Ending the job (rather than discarding it) keeps the pages printed so far. A job
            // end the destination refuses does not keep the new orientation from being tried.
            try {
                printer.EndDoc();
            } catch (const VbError& lost) {
                undelivered = lost;
            }
            try {
                printer.setOrientation(Orientation.toInteger());
            } catch (const VbError&) {
            }
        }
    }
    try {
        mdlPrint::CalcScreenMetrics(frmPrint::Get());
    } catch (const VbError&) {
    }
    try {
        printer.setColorMode(2);
    } catch (const VbError&) {
    }
    if (undelivered) throw *undelivered;
}

const QStringList& clsPrint::DefaultNames() {
    static const QStringList names = {QStringLiteral("TERMINAL"), QStringLiteral("TERMINAL7B")};
    return names;
}

void clsPrint::SetDefault(const Variant& Defaultnaam) {
    const QString name = Defaultnaam.toString().toUpper();
    frmPrint& frm = frmPrint::Get();
    if (DefaultNames().contains(name)) {
        const DefaultSet set =
            name == DefaultNames().first() ? DefaultSet{800, 6, false} : DefaultSet{400, 7, true};
        const Variant margin = Variant::Integer(set.margin);
        Spacing(margin, margin, margin, margin);

        ScreenFontSize_ = Variant::Integer(set.fontSize);
        ScreenFontName_ = Variant("Terminal");
        ScreenBackColor_ = Variant::Long(16777215);
        ScreenForeColor_ = Variant::Integer(0);
        frm.setWindowState(0);
        frm.setFontSize(ScreenFontSize_.toSingle());
        frm.setFontName(ScreenFontName_.toString());
        if (set.bold) frm.setFontBold(true);
        frm.setBackColor(ScreenBackColor_.toLong());
        frm.setForeColor(ScreenForeColor_.toLong());

        PrintFontSize_ = Variant::Integer(set.fontSize);
        PrintFontName_ = Variant("Courier New");
        PrintBackColor_ = Variant::Long(16777215);
        PrintForeColor_ = Variant::Integer(0);
        PrinterSurface& printer = Printer();
        printer.setFontSize(PrintFontSize_.toSingle());
        printer.setFontName(PrintFontName_.toString());
        if (set.bold) printer.setFontBold(true);
        printer.setFillColor(PrintBackColor_.toLong());
        printer.setForeColor(PrintForeColor_.toLong());
    }
    mdlPrint::CalcScreenMetrics(frm);
}

void clsPrint::Spacing(const Variant& LeftSpacing, const Variant& RightSpacing,
                       const Variant& TopSpacing, const Variant& BottomSpacing) {
    if (!LeftSpacing.isMissing()) mdlPrint::LeftSpacing = LeftSpacing.toLong();
    if (!RightSpacing.isMissing()) mdlPrint::RightSpacing = RightSpacing.toLong();
    if (!TopSpacing.isMissing()) mdlPrint::TopSpacing = TopSpacing.toLong();
    if (!BottomSpacing.isMissing()) mdlPrint::BottomSpacing = BottomSpacing.toLong();
}

void clsPrint::SetParm(const Variant& ParmNummer, const Variant& ParmWaarde) {
    if (ParmNummer > Variant::Integer(-1) && ParmNummer < Variant::Integer(10)) {
        const int32_t slot = ParmNummer.toLong();
        if (slot < 0 || slot > 9) throw VbError(VbErr::SubscriptOutOfRange);
        Parms_[static_cast<size_t>(slot)] = ParmWaarde;
    } else {
        Q_EMIT Melding(80, QStringLiteral("Parameternummer fout: ") + ParmNummer.toString());
    }
}

void clsPrint::letPrintColorMode(const Variant& v) {
    PrintColorMode_ = v;
    Printer().setColorMode(v.toInteger());
}

void clsPrint::letScreenForeColor(const Variant& v) {
    ScreenForeColor_ = v;
    frmPrint::Get().setForeColor(RgbColour(v));
}

void clsPrint::letScreenBackColor(const Variant& v) {
    ScreenBackColor_ = v;
    frmPrint::Get().setBackColor(RgbColour(v));
}

void clsPrint::letScreenFontName(const Variant& v) {
    ScreenFontName_ = v;
    frmPrint::Get().setFontName(v.toString());
}

void clsPrint::letScreenFontSize(const Variant& v) {
    ScreenFontSize_ = v;
    frmPrint::Get().setFontSize(v.toSingle());
}

void clsPrint::letPrintForeColor(const Variant& v) {
    PrintForeColor_ = v;
    Printer().setForeColor(RgbColour(v));
}

void clsPrint::letPrintFontSize(const Variant& v) {
    PrintFontSize_ = v;
    Printer().setFontSize(v.toSingle());
    mdlPrint::CalcPrinterMetrics();
}

void clsPrint::letPrintFontName(const Variant& v) {
    PrintFontName_ = v;
    Printer().setFontName(v.toString());
    mdlPrint::CalcPrinterMetrics();
}

void clsPrint::letPrintBackColor(const Variant& v) {
    PrintBackColor_ = v;
    PrinterSurface& printer = Printer();
    printer.setFillColor(RgbColour(v));
    printer.PaintBackground(printer.FillColor());
}

}  // namespace zel
