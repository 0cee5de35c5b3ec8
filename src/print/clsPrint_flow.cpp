// Page flow: the page-full test, the end-of-page confirmation, the start of the next page and
// the public operations around them.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cmath>

#include "files/NumberedFiles.h"
#include "general/GuiThread.h"
#include "print/OutputMode.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "surface/PrinterSurface.h"
#include "variant/VbError.h"

namespace zel {

namespace {

constexpr int PollMilliseconds = 200;
constexpr auto ContextPoll = std::chrono::milliseconds(50);

// Waits until the confirmation window answers. On the GUI thread (a program that prints on its
// own thread) it processes window messages meanwhile, sleeping between polls in an event loop
// so that it wakes for events and never spins the processor. On a print context's own thread
// it asks the window every 50 ms and sleeps between: only this context waits, and no event
// loop runs inside another's call.
void waitWhileOkCancel(ContextScreen& frm) {
    if (!onGuiThread()) {
        while (frm.OkCancel()) ContextHold::sleepFor(ContextPoll);
        return;
    }
    while (frm.OkCancel()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!frm.OkCancel()) break;
        QEventLoop pause;
        QTimer::singleShot(PollMilliseconds, &pause, &QEventLoop::quit);
        pause.exec();
    }
}

// Whether the line, on a page at CurrentLine whose body began at StartLine, falls beyond its
// lines.
bool lineBeyondPage(const Variant& Regel, int32_t CurrentLine, int32_t StartLine, int32_t lines) {
    switch (Regel.type()) {
        case VarType::Empty:
        case VarType::Boolean:
        case VarType::Integer:
        case VarType::Long:
            // A whole line number, as every report passes: the dynamic arithmetic below gives
            // the exact sum for these (a Long leaving 32 bits continues as an exact Double) and
            // cannot fail, so 64-bit integers give the same answer without its values.
            return int64_t(CurrentLine) + (int64_t(Regel.toLong()) - StartLine + 1) > lines;
        case VarType::Double: {
            // A line between lines (a text's line pitch): the same Double sums while they stay
            // finite; one that does not raises the dynamic arithmetic's error below.
            const double sum = CurrentLine + ((Regel.toDouble() - StartLine) + 1);
            if (std::isfinite(sum)) return sum > lines;
            break;
        }
        default:
            break;
    }
    // Text, Null, Single, Currency and the rest keep the platform's conversions and errors.
    return Variant::Long(CurrentLine) + (Regel - Variant::Long(StartLine) + Variant::Integer(1)) >
           Variant::Long(lines);
}

}  // namespace

bool clsPrint::takePendingStartLine(const Variant& Regel) {
    if (!startLinePending_ || CurrentLine < 0 || Regel.isEmpty()) return false;
    // The page was started by a call without a line number: this first numbered call fixes
    // where its body begins instead of breaking a page that holds no body yet. A line that
    // cannot be converted leaves that to the next call.
    const int32_t start = Regel.toLong();
    startLinePending_ = false;
    StartLine = start;
    if (Detailregels_.exists()) Detailregels_.at(0).Regel = Regel.toDouble();
    return true;
}

bool clsPrint::checkPageWithoutLine() {
    const int32_t page = CurrentPage;
    const bool result = CheckBladVol(Variant(), false);
    if (CurrentPage != page) startLinePending_ = outputMode(UitvoerMode_) != OutputMode::None;
    return result;
}

bool clsPrint::CheckBladVol(const Variant& Regel, bool ConfirmOnly) {
    if (!ConfirmOnly && takePendingStartLine(Regel)) return true;
    const bool full = CurrentLine < 0 || lineBeyondPage(Regel, CurrentLine, StartLine,
                                                        context_->geometry().LinesPerPage);
    if (!full) return true;

    bool result = true;
    if (CurrentLine > 0 && UitvoerMode_.toString().contains(QLatin1Char('S'))) {
        result = waitForConfirmation(Regel);
    }
    if (!ConfirmOnly) startPage(Regel);
    return result;
}

bool clsPrint::waitForConfirmation(const Variant& Regel) {
    bool result = true;
    ContextScreen& frm = context_->frm();
    frm.setTekenen(true);
    while (frm.Tekenen()) {
        context_->windows().showConfirmation();
        frm.setWaiting(true);
        frm.refreshWaiting();
        waitWhileOkCancel(frm);
        frm.setWaiting(false);
        const bool annuleer = frm.Annuleer();
        AnnulerenPressed = annuleer;
        result = !annuleer;
        if (frm.Tekenen()) {
            CurrentLine = -1;
            CurrentLine = PrintKopregels(Variant("S"));
            PrintDetailregels();
        } else {
            frm.Cls();
        }
    }
    ClearDetailregels(Regel);
    return result;
}

void clsPrint::startPage(const Variant& Regel) {
    // A line that is no 32-bit number fails before the page is counted or its head drawn.
    const int32_t start = Regel.toLong();
    // A page number past the Long range is an overflow, as any Long that leaves it.
    if (CurrentPage == INT32_MAX) throw VbError(VbErr::Overflow);
    CurrentPage += 1;
    const OutputMode mode = outputMode(UitvoerMode_);
    if (mode != OutputMode::None) {
        if (drawsOnScreen(mode)) context_->frm().setWaiting(false);
        CurrentLine = -1;
        CurrentLine = PrintKopregels(UitvoerMode_);
        ClearDetailregels(Regel);
    }
    StartLine = start;
    startLinePending_ = false;
}

bool clsPrint::NieuwBlad(const Variant& Regel) {
    bool result = false;
    const OutputMode mode = outputMode(UitvoerMode_);
    // Both sides are evaluated, as the original condition does (a Null count still fails).
    const bool hasBody = MaxDetailregel > Variant::Integer(0);
    if (mode != OutputMode::Printer && !hasBody) return result;
    if (drawsOnScreen(mode)) {
        CurrentLine = 99999;
        context_->frm().setWaiting(true);
        result = CheckBladVol(Regel, true);
        CurrentLine = -1;
        ContextScreen& frm = context_->frm();
        frm.setCurrentX(0);
        frm.setCurrentY(0);
    } else if (mode == OutputMode::Printer) {
        CurrentLine = 99999;
        result = CheckBladVol(Regel, true);
        CurrentLine = -1;
    }
    return result;
}

bool clsPrint::CheckRegelsBeschikbaar(const Variant& HuidigeRegel, const Variant& AantalRegels) {
    // A page whose body has not begun yet (started by a watermark or grid lines) will begin
    // at this block, as the page check makes it do for the next text.
    const Variant start = startLinePending_ ? HuidigeRegel : Variant::Long(StartLine);
    if (CurrentLine != -1 &&
        Variant::Long(CurrentLine) + (HuidigeRegel - start + Variant::Integer(1)) >
            Variant::Long(context_->geometry().LinesPerPage) - AantalRegels) {
        NieuwBlad(HuidigeRegel);
        return false;
    }
    return true;
}

bool clsPrint::GetResult() const {
    return !AnnulerenPressed;
}

void clsPrint::Show() {
    if (!drawsOnScreen(outputMode(UitvoerMode_))) return;
    ContextScreen& frm = context_->frm();
    frm.show();
    frm.refreshWaiting();
}

void clsPrint::Cls() {
    const OutputMode mode = outputMode(UitvoerMode_);
    if (drawsOnScreen(mode)) context_->frm().Cls();
    if (drawsOnPrinter(mode)) context_->printer().EndDoc();
    CurrentPage = 0;
    CurrentLine = -1;
    StartLine = 1;
    startLinePending_ = false;
}

Variant clsPrint::ToonBlad(const Variant& /*Bladnummer*/) {
    if (PrintFilenr == 0) PrintFilenr = context_->files().FreeFile();
    // The file is only opened: nothing is read or shown, so no buffer the size of the file is
    // made (a large file would exhaust memory).
    context_->files().OpenBinaryRead(PrintFilenr, PrintFileName.toString());
    toonBladFiles_.push_back(PrintFilenr);
    return Variant();
}

}  // namespace zel
