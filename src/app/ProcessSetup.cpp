#include "app/ProcessSetup.h"

#include <QApplication>

#include "surface/PrinterSurface.h"
#include "windows/Questions.h"
#include "windows/frmOk.h"
#include "windows/frmPrint.h"

namespace zel {

void choosePlatform(bool forceOffscreen) {
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY");
    qputenv("QT_QPA_PLATFORM", forceOffscreen || !display ? "offscreen" : "xcb;offscreen");
}

void setUpApplication() {
    QApplication::setApplicationName(QStringLiteral("ZelPrintDemo"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        installAnswerer(noDisplayAnswerer);
}

void tearDown() {
    if (frmOk::Loaded()) frmOk::Unload();
    if (frmPrint::Loaded()) frmPrint::Unload();
    shutdownPrinter();
}

}  // namespace zel
