#include "InProcessBench.h"

#include <QElapsedTimer>
#include <QFile>
#include <stdexcept>

#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "surface/PrinterSurface.h"

namespace zel::bench {

namespace {

QStringList readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read the bench text");
    QStringList lines;
    while (!file.atEnd()) lines << QString::fromUtf8(file.readLine()).chopped(1);
    return lines;
}

}  // namespace

double addTekstSeconds(const QString& file) {
    const QStringList lines = readLines(file);
    clsPrint print;
    print.Reset(Variant("P"));
    print.Cls();
    QElapsedTimer timer;
    timer.start();
    int32_t regel = 0;
    for (const QString& line : lines)
        print.AddTekst(Variant::Long(++regel), Variant::Integer(1), Variant(line));
    print.Cls();
    return double(timer.nsecsElapsed()) / 1e9;
}

double surfaceSeconds(const QString& file) {
    const QStringList lines = readLines(file);
    // The print object sets up fonts, margins and the page grid.
    clsPrint print;
    print.Reset(Variant("P"));
    PrinterSurface& printer = print.context().printer();
    const float lineHeight = printer.TextHeight(QStringLiteral("X"));
    const int32_t perPage = print.context().geometry().LinesPerPage;
    QElapsedTimer timer;
    timer.start();
    int32_t onPage = 0;
    for (const QString& line : lines) {
        if (onPage == perPage) {
            printer.NewPage();
            onPage = 0;
        }
        printer.setCurrentX(800);
        printer.setCurrentY(800 + onPage * lineHeight);
        printer.Print(line, true);
        ++onPage;
    }
    printer.EndDoc();
    return double(timer.nsecsElapsed()) / 1e9;
}

}  // namespace zel::bench
