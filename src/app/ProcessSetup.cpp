#include "app/ProcessSetup.h"

#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <QCoreApplication>
#include <csignal>
#include <cstdlib>

#include "files/DescriptorBudget.h"

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

void loadFontconfig() {
    FcConfig* config = FcConfigCreate();
    FcStrList* caches = nullptr;
    // Quietly: where the file is missing, fontconfig's own set-up says so, once.
    const bool loaded = config && FcConfigParseAndLoad(config, nullptr, FcFalse) &&
                        (caches = FcConfigGetCacheDirs(config)) != nullptr &&
                        FcStrListNext(caches) != nullptr && FcConfigSetCurrent(config);
    if (caches) FcStrListDone(caches);
    if (config) FcConfigDestroy(config);  // the current configuration holds its own reference
    if (!loaded) FcInit();
}

void releaseFontconfigAtExit() {
    // fontconfig gives back at exit what reading its configuration keeps (the leak check reports
    // it otherwise). Registered before any font set is cached, it runs after those are gone.
    std::atexit([] { FcFini(); });
}

void setUpFontconfig() {
    loadFontconfig();
    releaseFontconfigAtExit();
}

void setUpApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("ZelPrintDemo"));
}

void setUpLongRunningProcess() {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    for (int standard = 0; standard <= 2; ++standard) {
        if (::fcntl(standard, F_GETFD) != -1) continue;
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0 && null != standard) {
            ::dup2(null, standard);
            ::close(null);
        }
    }
    raiseOpenFileLimit();
}

}  // namespace zel
