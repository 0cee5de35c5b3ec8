#include "app/GuiModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "print/SystemColours.h"

namespace zel {

namespace {

std::string modulePath() {
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, length > 0 ? static_cast<size_t>(length) : 0);
    return path.substr(0, path.rfind('/') + 1) + ZELPRINT_GUI_MODULE;
}

const GuiModule& load() {
    const std::string path = modulePath();
    void* handle = ::dlopen(path.c_str(), RTLD_NOW);
    auto entry =
        handle ? reinterpret_cast<GuiModuleEntry>(::dlsym(handle, GuiModuleEntryName)) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "zelprint: cannot load %s: %s\n", path.c_str(), ::dlerror());
        std::exit(1);
    }
    return *entry();
}

}  // namespace

const GuiModule& guiModule() {
    static const GuiModule& module = load();
    return module;
}

std::unique_ptr<LoadedWindows> makeWindows(mdlPrint& geometry, PrinterSurface& printer) {
    return guiModule().makeWindows(geometry, printer);
}

int32_t desktopColour(int element) {
    // Only the module makes a GUI application: while there is none, it need not be loaded.
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->inherits("QGuiApplication") ? guiModule().desktopColour(element) : -1;
}

}  // namespace zel
