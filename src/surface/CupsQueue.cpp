#include "surface/CupsQueue.h"

#include <cups/cups.h>

#include <QPrinter>

#include "variant/VbError.h"

namespace zel::cups {

namespace {

VbError queueError(const QString& queue, const QString& reason) {
    return VbError(VbErr::PrinterError,
                   QStringLiteral("Printer error: %1: %2").arg(shownInError(queue), reason));
}

// A destination of CUPS by name (the default for a null name), or null.
QString namedDestination(const char* name) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name, nullptr);
    if (!dest) return {};
    const QString found = QString::fromUtf8(dest->name);
    cupsFreeDests(1, dest);
    return found;
}

}  // namespace

QString defaultQueue() {
    return namedDestination(nullptr);
}

bool queueExists(const QString& queue) {
    return !queue.isEmpty() && namedDestination(queue.toUtf8().constData()) == queue;
}

QPageLayout queueLayout(const QString& queue) {
    // Qt falls back to another queue for a name it does not know: check that it took this one.
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(queue);
    if (printer.printerName() != queue) throw queueError(queue, QStringLiteral("unknown queue"));
    return printer.pageLayout();
}

int submitPdf(const QString& queue, const QString& path) {
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(),
                                   path.toUtf8().constData(), "ZelPrintDemo", 0, nullptr);
    if (job == 0) throw queueError(queue, QString::fromUtf8(cupsLastErrorString()));
    return job;
}

}  // namespace zel::cups
