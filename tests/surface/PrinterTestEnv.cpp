#include "PrinterTestEnv.h"

PrinterTestEnv::PrinterTestEnv()
    : savedPrinter_(qgetenv("ZELPRINT_PRINTER")), savedConfig_(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root_.path() + QStringLiteral("/config")));
    setDestination(QStringLiteral("pdf:") + outDir());
}

PrinterTestEnv::~PrinterTestEnv() {
    qputenv("ZELPRINT_PRINTER", savedPrinter_);
    qputenv("XDG_CONFIG_HOME", savedConfig_);
}

QStringList PrinterTestEnv::files() const {
    return QDir(outDir()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void PrinterTestEnv::setDestination(const QString& value) {
    qputenv("ZELPRINT_PRINTER", value.toUtf8());
}
