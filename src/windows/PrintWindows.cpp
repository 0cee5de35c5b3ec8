#include "windows/PrintWindows.h"

#include <QDialog>
#include <QTimer>
#include <utility>

#include "general/GuiThread.h"
#include "geometry/mdlPrint.h"
#include "windows/Questions.h"
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
        frmLoaded_ = true;
        frm_->Form_Load();
        std::exchange(look_, WindowLook()).giveTo(*frm_);
        geometry_.CalcScreenMetrics(printer_, *frm_);
    }
    return *frm_;
}

bool PrintWindows::frmLoaded() const {
    return frmLoaded_;
}

void PrintWindows::unloadFrm() {
    onGui([this] {
        look_ = WindowLook();
        frmLoaded_ = false;
        if (frmPrint* window = std::exchange(frm_, nullptr)) frmPrint::Unload(window);
    });
}

void PrintWindows::setFontName(const QString& name) {
    onGui([&] {
        if (frm_) return frm_->setFontName(name);
        look_.setFontName(name);
    });
}

void PrintWindows::setFontSize(float points) {
    onGui([&] {
        if (frm_) return frm_->setFontSize(points);
        look_.setFontSize(points);
    });
}

void PrintWindows::setFontBold(bool bold) {
    onGui([&] {
        if (frm_) return frm_->setFontBold(bold);
        look_.setFontBold(bold);
    });
}

void PrintWindows::setForeColor(int32_t colour) {
    onGui([&] {
        if (frm_) return frm_->setForeColor(colour);
        look_.setForeColor(colour);
    });
}

void PrintWindows::setBackColor(int32_t colour) {
    onGui([&] {
        if (frm_) return frm_->setBackColor(colour);
        look_.setBackColor(colour);
    });
}

frmOk& PrintWindows::ok() {
    if (!ok_) {
        ok_ = new frmOk(*this);
        okLoaded_ = true;
        ok_->Form_Load();
    }
    return *ok_;
}

bool PrintWindows::okLoaded() const {
    return okLoaded_;
}

void PrintWindows::unloadOk() {
    onGui([this] {
        okLoaded_ = false;
        if (frmOk* window = std::exchange(ok_, nullptr)) frmOk::Unload(window);
    });
}

void PrintWindows::showConfirmation() {
    onGui([this] {
        try {
            unloadOk();
        } catch (const std::exception&) {
        }
        LoadCount = 0;
        ok().ShowNonModal();
    });
}

void PrintWindows::ask(const MakeQuestion& make, const ReadAnswer& read) {
    const uint64_t call = ContextHold::currentCall();
    if (call != 0 && call == unansweredCall_) return;  // the asker's unanswered answer stands
    askingCall_ = call;
    askQuestion(make, read, &question_);
}

void PrintWindows::closeQuestions() {
    onGui([this] {
        if (question_) {
            unansweredCall_ = askingCall_.load();
            question_->reject();
        }
        if (okLoaded()) unloadOk();
    });
}

void PrintWindows::CalcMetrics() {
    const bool onScreen = onGui([this] {
        if (frm_) geometry_.CalcScreenMetrics(printer_, *frm_);
        return frm_ != nullptr;
    });
    // The printer's part needs no window: it stays on the context's thread.
    if (!onScreen) geometry_.CalcPrinterMetrics(printer_);
}

std::unique_ptr<LoadedWindows> makeWindows(mdlPrint& geometry, PrinterSurface& printer) {
    return std::make_unique<PrintWindows>(geometry, printer);
}

void PrintWindows::whileHeld(QObject* receiver, std::function<void()> action) {
    constexpr int RetryMilliseconds = 50;
    std::unique_lock<std::recursive_mutex> held(handlers_, std::try_to_lock);
    if (held) return action();
    QTimer::singleShot(RetryMilliseconds, receiver,
                       [this, receiver, action = std::move(action)]() mutable {
                           whileHeld(receiver, std::move(action));
                       });
}

}  // namespace zel
