#include "app/GuiModule.h"
#include "gui/Commands.h"
#include "gui/GuiApplication.h"
#include "print/SystemColours.h"

// The table zelprint reads when it loads this module (app/GuiModule.h); the module's other
// symbols stay its own.
extern "C" __attribute__((visibility("default"))) const zel::GuiModule* zelprint_gui_module() {
    static const zel::GuiModule module{
        zel::runCommand,
        [](int& argc, char** argv) -> std::unique_ptr<QCoreApplication> {
            return zel::makeGuiApplication(argc, argv, false);
        },
        zel::makeWindows,
        [] { return QGuiApplication::platformName() != QLatin1String("offscreen"); },
        zel::desktopColour,
    };
    return &module;
}
