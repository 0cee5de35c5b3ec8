#include "surface/PrinterSurface.h"

#include <cstdio>

#include "surface/QtPrinterSurface.h"
#include "variant/VbError.h"

namespace zel {

namespace {

std::unique_ptr<PrinterSurface>& printer() {
    static std::unique_ptr<PrinterSurface> instance;
    return instance;
}

}  // namespace

PrinterSurface& Printer() {
    if (!printer()) printer() = std::make_unique<QtPrinterSurface>();
    return *printer();
}

void installPrinter(std::unique_ptr<PrinterSurface> replacement) {
    printer() = std::move(replacement);
}

void shutdownPrinter() {
    if (!printer()) return;
    try {
        printer()->EndDoc();
    } catch (const VbError& error) {
        // Nobody is left to hand the error to: say which job was lost.
        std::fprintf(stderr, "zelprint: %s\n", error.what());
    }
    printer().reset();
}

}  // namespace zel
