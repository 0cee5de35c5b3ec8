#include "app/ProcessSetup.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <csignal>

#include "files/DescriptorBudget.h"
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
