#include "print/PrintContext.h"

#include <cstdio>

#include "surface/QtPrinterSurface.h"

namespace zel {

namespace {

// Lines per page and positions per line follow the sheet in use.
void measureEachSheet(PrintJobs& jobs, ContextWindows& windows) {
    QObject::connect(&jobs, &PrintJobs::sheetChanged, &jobs, [&windows] {
        try {
            windows.CalcMetrics();
        } catch (const VbError&) {
            // A grid that cannot be measured (no usable font) keeps its values, as a failing
            // step of the measurement does.
        }
    });
}

}  // namespace

PrintContext::PrintContext()
    : printer_(std::make_unique<QtPrinterSurface>(jobs_)), windows_(geometry_, *printer_) {
    measureEachSheet(jobs_, windows_);
}

PrintContext::PrintContext(std::unique_ptr<PrinterSurface> printer)
    : printer_(std::move(printer)), windows_(geometry_, *printer_) {
    measureEachSheet(jobs_, windows_);
}

PrintContext::~PrintContext() {
    windows_.unloadOk();
    windows_.unloadFrm();
    try {
        printer_->EndDoc();
    } catch (const VbError& error) {
        // Nobody is left to hand the error to: say which job was lost.
        std::fprintf(stderr, "zelprint: %s\n", error.what());
    }
}

std::shared_ptr<PrintContext> PrintContext::shared() {
    static std::weak_ptr<PrintContext> current;
    std::shared_ptr<PrintContext> context = current.lock();
    if (!context) {
        context = std::make_shared<PrintContext>();
        current = context;
    }
    return context;
}

}  // namespace zel
