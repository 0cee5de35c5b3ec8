#pragma once

#include <QCoreApplication>
#include <memory>

#include "print/LoadedWindows.h"

namespace zel {

// What zelprint's module zelprint-gui offers (src/gui): everything that needs the widgets or the
// bus. The executable alone runs a print job that shows and asks nothing (plain text in mode "P")
// on Qt Core and the print objects; the module finds those in the executable.
struct GuiModule {
    // Every command but `print`: serve, interface, help, version, a usage error.
    int (*runCommand)(int argc, char** argv);
    // A job's QApplication: the display platform chosen, questions answered when none is there.
    std::unique_ptr<QCoreApplication> (*makeApplication)(int& argc, char** argv);
    std::unique_ptr<LoadedWindows> (*makeWindows)(mdlPrint& geometry, PrinterSurface& printer);
    // Whether the application's windows can be seen: not on the offscreen platform, which
    // makeApplication chooses when there is no display.
    bool (*showsWindows)();
    // The system colours of the GUI application's palette (see desktopColour).
    int32_t (*desktopColour)(int element);
};

// The module's only exported symbol: returns its table.
using GuiModuleEntry = const GuiModule* (*)();
constexpr const char* GuiModuleEntryName = "zelprint_gui_module";

// Loads the module on first use, from beside the executable (ZELPRINT_GUI_MODULE, relative to
// its folder); a module that cannot be loaded ends the process with one line on standard error.
const GuiModule& guiModule();

}  // namespace zel
