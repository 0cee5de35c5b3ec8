#include "print/ContextWindows.h"

#include <utility>

#include "geometry/mdlPrint.h"

namespace zel {

LoadedWindows& ContextWindows::loaded() {
    if (!windows_) {
        std::unique_ptr<LoadedWindows> made = makeWindows(geometry_, printer_);
        std::exchange(look_, WindowLook()).giveTo(*made);
        windows_ = made.release();
    }
    return *windows_;
}

void ContextWindows::unloadFrm() {
    if (LoadedWindows* windows = windows_) return windows->unloadFrm();
    look_ = WindowLook();
}

void ContextWindows::unloadOk() {
    if (LoadedWindows* windows = windows_) windows->unloadOk();
}

void ContextWindows::closeQuestions() {
    if (LoadedWindows* windows = windows_) windows->closeQuestions();
}

void ContextWindows::CalcMetrics() {
    if (LoadedWindows* windows = windows_) return windows->CalcMetrics();
    geometry_.CalcPrinterMetrics(printer_);
}

void ContextWindows::setFontName(const QString& name) {
    if (LoadedWindows* windows = windows_) return windows->setFontName(name);
    look_.setFontName(name);
}

void ContextWindows::setFontSize(float points) {
    if (LoadedWindows* windows = windows_) return windows->setFontSize(points);
    look_.setFontSize(points);
}

void ContextWindows::setFontBold(bool bold) {
    if (LoadedWindows* windows = windows_) return windows->setFontBold(bold);
    look_.setFontBold(bold);
}

void ContextWindows::setForeColor(int32_t colour) {
    if (LoadedWindows* windows = windows_) return windows->setForeColor(colour);
    look_.setForeColor(colour);
}

void ContextWindows::setBackColor(int32_t colour) {
    if (LoadedWindows* windows = windows_) return windows->setBackColor(colour);
    look_.setBackColor(colour);
}

}  // namespace zel
