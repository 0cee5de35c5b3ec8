// Output settings: mode, orientation, the named default sets, margins, parameters and the nine
// font and colour properties.
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "surface/PrinterSurface.h"
#include "print/SystemColours.h"
#include "variant/VbError.h"

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
    PrinterSurface& printer = context_->printer();
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
        context_->windows().CalcMetrics();
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
    ContextWindows& windows = context_->windows();
    if (DefaultNames().contains(name)) {
        const DefaultSet set =
            name == DefaultNames().first() ? DefaultSet{800, 6, false} : DefaultSet{400, 7, true};
        const Variant margin = Variant::Integer(set.margin);
        Spacing(margin, margin, margin, margin);

        ScreenFontSize_ = Variant::Integer(set.fontSize);
        ScreenFontName_ = Variant("Terminal");
        ScreenBackColor_ = Variant::Long(16777215);
        ScreenForeColor_ = Variant::Integer(0);
        if (windows.frmLoaded()) windows.screen().setWindowState(0);
        windows.setFontSize(ScreenFontSize_.toSingle());
        windows.setFontName(ScreenFontName_.toString());
        if (set.bold) windows.setFontBold(true);
        windows.setBackColor(ScreenBackColor_.toLong());
        windows.setForeColor(ScreenForeColor_.toLong());

        PrintFontSize_ = Variant::Integer(set.fontSize);
        PrintFontName_ = Variant("Courier New");
        PrintBackColor_ = Variant::Long(16777215);
        PrintForeColor_ = Variant::Integer(0);
        PrinterSurface& printer = context_->printer();
        printer.setFontSize(PrintFontSize_.toSingle());
        printer.setFontName(PrintFontName_.toString());
        if (set.bold) printer.setFontBold(true);
        printer.setFillColor(PrintBackColor_.toLong());
        printer.setForeColor(PrintForeColor_.toLong());
    }
    context_->windows().CalcMetrics();
}

void clsPrint::Spacing(const Variant& LeftSpacing, const Variant& RightSpacing,
                       const Variant& TopSpacing, const Variant& BottomSpacing) {
    if (!LeftSpacing.isMissing()) context_->geometry().LeftSpacing = LeftSpacing.toLong();
    if (!RightSpacing.isMissing()) context_->geometry().RightSpacing = RightSpacing.toLong();
    if (!TopSpacing.isMissing()) context_->geometry().TopSpacing = TopSpacing.toLong();
    if (!BottomSpacing.isMissing()) context_->geometry().BottomSpacing = BottomSpacing.toLong();
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
    context_->printer().setColorMode(v.toInteger());
}

void clsPrint::letScreenForeColor(const Variant& v) {
    ScreenForeColor_ = v;
    context_->windows().setForeColor(RgbColour(v));
}

void clsPrint::letScreenBackColor(const Variant& v) {
    ScreenBackColor_ = v;
    context_->windows().setBackColor(RgbColour(v));
}

void clsPrint::letScreenFontName(const Variant& v) {
    ScreenFontName_ = v;
    context_->windows().setFontName(v.toString());
}

void clsPrint::letScreenFontSize(const Variant& v) {
    ScreenFontSize_ = v;
    context_->windows().setFontSize(v.toSingle());
}

void clsPrint::letPrintForeColor(const Variant& v) {
    PrintForeColor_ = v;
    context_->printer().setForeColor(RgbColour(v));
}

void clsPrint::letPrintFontSize(const Variant& v) {
    PrintFontSize_ = v;
    context_->printer().setFontSize(v.toSingle());
    context_->geometry().CalcPrinterMetrics(context_->printer());
}

void clsPrint::letPrintFontName(const Variant& v) {
    PrintFontName_ = v;
    context_->printer().setFontName(v.toString());
    context_->geometry().CalcPrinterMetrics(context_->printer());
}

void clsPrint::letPrintBackColor(const Variant& v) {
    PrintBackColor_ = v;
    PrinterSurface& printer = context_->printer();
    printer.setFillColor(RgbColour(v));
    printer.PaintBackground(printer.FillColor());
}

}  // namespace zel
