#include "print/clsPrint.h"

#include <QDebug>

#include "files/NumberedFiles.h"
#include "print/OutputMode.h"
#include "print/mdlPrint.h"
#include "surface/PrinterSurface.h"
#include "variant/VbError.h"
#include "windows/frmPrint.h"

namespace zel {

clsPrint::clsPrint() {
    PrinterSurface& printer = Printer();
    printer.EndDoc();
    printer.setCurrentY(0);
    printer.setCurrentX(0);
    frmPrint& frm = frmPrint::Get();
    frm.setCurrentX(0);
    frm.setCurrentY(0);
    SetDefault(Variant("Terminal"));
    frm.setScaleLeft(0);
    frm.setScaleTop(0);
    mdlPrint::CalcScreenMetrics(frm);
    UitvoerMode_ = Variant("S");
    CurrentPage = 0;
    CurrentLine = -1;
    StartLine = 1;
    AnnulerenPressed = false;
}

clsPrint::~clsPrint() {
    Terminate();
}

std::optional<VbError> clsPrint::Terminate() {
    std::optional<VbError> undelivered;
    if (terminated_) return undelivered;
    terminated_ = true;
    OutputMode mode = OutputMode::None;
    try {
        mode = outputMode(UitvoerMode_);
    } catch (const std::exception&) {
    }
    try {
        if (mode == OutputMode::Screen || mode == OutputMode::Both) frmPrint::Unload();
    } catch (const std::exception& e) {
        qWarning("zelprint: release: %s", e.what());
    }
    if (mode == OutputMode::Printer || mode == OutputMode::Both) {
        try {
            Printer().EndDoc();
        } catch (const VbError& error) {
            undelivered = error;
        } catch (const std::exception&) {
        }
    }
    for (const int16_t file : toonBladFiles_) {
        try {
            NumberedFiles::Close(file);
        } catch (const std::exception&) {
        }
    }
    toonBladFiles_.clear();
    return undelivered;
}

Variant clsPrint::Reset(const Variant& UitvoerMode, bool HorLines, bool CrossLines) {
    HorLinesOn_ = HorLines;
    CrossLinesOn_ = CrossLines;
    PrinterSurface& printer = Printer();
    if (printer.SheetWrittenOn()) {
        printer.EndDoc();
        frmPrint::Unload();
    }
    mdlPrint::CalcScreenMetrics(frmPrint::Get());
    CurrentPage = 1;
    CurrentLine = -1;
    StartLine = 1;
    AnnulerenPressed = false;
    startLinePending_ = false;
    if (!UitvoerMode.isMissing()) SetMode(UitvoerMode);
    printer.setCurrentY(0);
    printer.setCurrentX(0);
    frmPrint& frm = frmPrint::Get();
    frm.setCurrentX(0);
    frm.setCurrentY(0);
    return Variant();
}

}  // namespace zel
