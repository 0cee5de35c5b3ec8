#include "windows/PrintWindows.h"

#include <utility>

#include "geometry/mdlPrint.h"
#include "windows/frmOk.h"
#include "windows/frmPrint.h"

namespace zel {

PrintWindows::PrintWindows(mdlPrint& geometry, PrinterSurface& printer)
    : geometry_(geometry), printer_(printer) {}

PrintWindows::~PrintWindows() {
    unloadOk();
    unloadFrm();
}

frmPrint& PrintWindows::frm() {
    if (!frm_) {
        frm_ = new frmPrint(*this);
        frm_->Form_Load();
    }
    return *frm_;
}

void PrintWindows::unloadFrm() {
    if (frmPrint* window = std::exchange(frm_, nullptr)) frmPrint::Unload(window);
}

frmOk& PrintWindows::ok() {
    if (!ok_) {
        ok_ = new frmOk(*this);
        ok_->Form_Load();
    }
    return *ok_;
}

void PrintWindows::unloadOk() {
    if (frmOk* window = std::exchange(ok_, nullptr)) frmOk::Unload(window);
}

void PrintWindows::CalcMetrics() {
    if (frm_)
        geometry_.CalcScreenMetrics(printer_, *frm_);
    else
        geometry_.CalcPrinterMetrics(printer_);
}

}  // namespace zel
