#include "app/ProcessSetup.h"

#include <QApplication>

#include "windows/Questions.h"

namespace zel {

// The session's own display first: Wayland where a Wayland display is there (X through
// XWayland otherwise), then X; each falls back to the next when it cannot be opened.
void choosePlatform(bool forceOffscreen) {
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const char* platforms = "offscreen";
    if (!forceOffscreen && wayland)
        platforms = "wayland;xcb;offscreen";
    else if (!forceOffscreen && x11)
        platforms = "xcb;offscreen";
    qputenv("QT_QPA_PLATFORM", platforms);
}

void setUpApplication() {
    QApplication::setApplicationName(QStringLiteral("ZelPrintDemo"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        installAnswerer(noDisplayAnswerer);
}

}  // namespace zel
