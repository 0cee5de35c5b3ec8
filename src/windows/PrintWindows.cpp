#include "windows/PrintWindows.h"

#include <utility>

#include "geometry/mdlPrint.h"
#include "surface/Fonts.h"
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
        const Look look = std::exchange(look_, Look());
        if (look.fontSize) frm_->setFontSize(*look.fontSize);
        if (look.fontName) frm_->setFontName(*look.fontName);
        if (look.bold) frm_->setFontBold(*look.bold);
        if (look.backColor) frm_->setBackColor(*look.backColor);
        if (look.foreColor) frm_->setForeColor(*look.foreColor);
        geometry_.CalcScreenMetrics(printer_, *frm_);
    }
    return *frm_;
}

void PrintWindows::unloadFrm() {
    look_ = Look();
    if (frmPrint* window = std::exchange(frm_, nullptr)) frmPrint::Unload(window);
}

void PrintWindows::setFontName(const QString& name) {
    if (frm_) return frm_->setFontName(name);
    resolveFont(name);
    look_.fontName = name;
}

void PrintWindows::setFontSize(float points) {
    if (frm_) return frm_->setFontSize(points);
    checkFontSize(points);
    look_.fontSize = points;
}

void PrintWindows::setFontBold(bool bold) {
    if (frm_) return frm_->setFontBold(bold);
    look_.bold = bold;
}

void PrintWindows::setForeColor(int32_t colour) {
    if (frm_) return frm_->setForeColor(colour);
    look_.foreColor = colour;
}

void PrintWindows::setBackColor(int32_t colour) {
    if (frm_) return frm_->setBackColor(colour);
    look_.backColor = colour;
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
