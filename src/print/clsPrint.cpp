#include "print/clsPrint.h"

#include <QDebug>

#include "files/NumberedFiles.h"
#include "print/OutputMode.h"
#include "print/PrintContext.h"
#include "surface/PrinterSurface.h"
#include "variant/VbError.h"

namespace zel {

clsPrint::clsPrint() : clsPrint(PrintContext::shared()) {}

clsPrint::clsPrint(std::shared_ptr<PrintContext> context) : context_(std::move(context)) {
    PrinterSurface& printer = context_->printer();
    printer.EndDoc();
    printer.setCurrentY(0);
    printer.setCurrentX(0);
    // The window is loaded only when the screen is first used; a window that is loaded already
    // (another object's) starts over at its top-left corner.
    ContextWindows& windows = context_->windows();
    if (windows.frmLoaded()) {
        windows.screen().setCurrentX(0);
        windows.screen().setCurrentY(0);
    }
    SetDefault(Variant("Terminal"));
    if (windows.frmLoaded()) {
        windows.screen().setScaleLeft(0);
        windows.screen().setScaleTop(0);
    }
    context_->windows().CalcMetrics();
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
        if (mode == OutputMode::Screen || mode == OutputMode::Both) context_->windows().unloadFrm();
    } catch (const std::exception& e) {
        qWarning("zelprint: release: %s", e.what());
    }
    if (mode == OutputMode::Printer || mode == OutputMode::Both) {
        try {
            context_->printer().EndDoc();
        } catch (const VbError& error) {
            undelivered = error;
        } catch (const std::exception&) {
        }
    }
    for (const int16_t file : toonBladFiles_) {
        try {
            context_->files().Close(file);
        } catch (const std::exception&) {
        }
    }
    toonBladFiles_.clear();
    return undelivered;
}

Variant clsPrint::Reset(const Variant& UitvoerMode, bool HorLines, bool CrossLines) {
    HorLinesOn_ = HorLines;
    CrossLinesOn_ = CrossLines;
    PrinterSurface& printer = context_->printer();
    if (printer.SheetWrittenOn()) {
        printer.EndDoc();
        context_->windows().unloadFrm();
    }
    context_->windows().CalcMetrics();
    CurrentPage = 1;
    CurrentLine = -1;
    StartLine = 1;
    AnnulerenPressed = false;
    startLinePending_ = false;
    if (!UitvoerMode.isMissing()) SetMode(UitvoerMode);
    printer.setCurrentY(0);
    printer.setCurrentX(0);
    if (context_->windows().frmLoaded()) {
        ContextScreen& frm = context_->frm();
        frm.setCurrentX(0);
        frm.setCurrentY(0);
    }
    return Variant();
}

}  // namespace zel
