#include "app/ProcessSetup.h"

#include <QApplication>

#include "windows/Questions.h"

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

}  // namespace zel
