#pragma once

#include <QDir>
#include <QTemporaryDir>

#include "surface/PrintJobs.h"
#include "surface/QtPrinterSurface.h"

// The real printer with a job list of its own, as a print context has it.
struct TestPrinter : zel::PrintJobs, zel::QtPrinterSurface {
    TestPrinter() : zel::QtPrinterSurface(static_cast<zel::PrintJobs&>(*this)) {}
};

// A private output directory and settings store for printer tests; ZELPRINT_PRINTER sends
// jobs to PDF files in outDir() unless a test sets it otherwise. The variables are restored.
class PrinterTestEnv {
public:
    PrinterTestEnv();
    ~PrinterTestEnv();

    QString outDir() const { return root_.path() + QStringLiteral("/out"); }
    QString path(const QString& name) const { return outDir() + u'/' + name; }
    // Every file in the output directory, hidden ones included.
    QStringList files() const;
    void setDestination(const QString& value);

private:
    QTemporaryDir root_;
    QByteArray savedPrinter_;
    QByteArray savedConfig_;
};
