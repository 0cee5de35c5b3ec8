#include "gui/GuiApplication.h"

#include "app/ProcessSetup.h"
#include "windows/Questions.h"

namespace zel {

std::unique_ptr<QApplication> makeGuiApplication(int& argc, char** argv, bool forceOffscreen) {
    choosePlatform(forceOffscreen);
    auto app = std::make_unique<QApplication>(argc, argv);
    setUpApplication();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        installAnswerer(noDisplayAnswerer);
    return app;
}

}  // namespace zel
