// zelprint-report: prints the report that the end-to-end tests read back, in mode "P" to
// $ZELPRINT_PRINTER: 250 body lines "Regel 001" to "Regel 250" under a two-line header whose
// first line carries the page number, a frame along the margins of every page (Reset with
// HorLines, so the pages are numbered from 2) and a watermark on the first page.
//
// Writes to standard output what a reader of the output should find, one "key value" a line:
//   lines-per-page N   lines of the destination's page grid (LinesPerPage)
//   body-lines N       body lines a page holds: the grid's lines less the header's
//   pages N            pages the report must have on this destination
//   first-page N       the number the first page carries
//   job PATH           each PDF file the job produced (none for a CUPS queue)
#include <QCoreApplication>
#include <cstdio>

#include "ExampleApplication.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "variant/VbError.h"

using zel::Variant;

namespace {

constexpr int BodyLines = 250;
constexpr int HeaderLines = 2;

void printReport(zel::clsPrint& print) {
    print.Reset(Variant("P"), /*HorLines=*/true);
    print.ClearKopregels();
    print.AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant("Testrapport blad #B"));
    print.AddKopregel(Variant::Integer(HeaderLines), Variant::Integer(1),
                      Variant("Overzicht van de testregels"));
    for (int regel = 1; regel <= BodyLines; ++regel) {
        print.AddTekst(Variant::Integer(regel), Variant::Integer(5),
                       Variant(QStringLiteral("Regel %1").arg(regel, 3, 10, QLatin1Char('0'))));
        if (regel == 1) print.Watermerk(Variant("CONCEPT"));
    }
    print.Cls();
}

}  // namespace

int main(int argc, char** argv) {
    zel::examples::ExampleApplication app(argc, argv);
    if (QCoreApplication::arguments().size() > 1) {
        std::fputs("Usage: ZELPRINT_PRINTER=DESTINATION zelprint-report\n", stderr);
        return 2;
    }
    const zel::examples::JobWatch job;
    int lines = 0;
    try {
        zel::clsPrint print;
        printReport(print);
        lines = print.context().geometry().LinesPerPage;
    } catch (const zel::VbError& error) {
        std::fprintf(stderr, "zelprint-report: %s\n", error.what());
        return 1;
    }
    const int perPage = lines - HeaderLines;
    if (perPage <= 0) {
        std::fputs("zelprint-report: the page holds no body line\n", stderr);
        return 1;
    }
    std::printf("lines-per-page %d\nbody-lines %d\npages %d\nfirst-page 2\n", lines, perPage,
                (BodyLines + perPage - 1) / perPage);
    if (job.isPdf())
        for (const QString& path : job.results()) std::printf("job %s\n", qPrintable(path));
    return 0;
}
