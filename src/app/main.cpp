#include <cstring>

#include "app/GuiModule.h"
#include "app/PrintCommand.h"
#include "app/QuietStart.h"

// zelprint: one subcommand, one job. A print job runs here, loading the module of the widgets
// and the bus only when it shows or asks something; every other command is the module's.
int main(int argc, char** argv) {
    zel::quietenQtNotes();
    if (argc > 1 && std::strcmp(argv[1], "print") == 0) {
        QStringList arguments;
        for (int i = 2; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
        return zel::printCommand(arguments, argc, argv);
    }
    return zel::guiModule().runCommand(argc, argv);
}
