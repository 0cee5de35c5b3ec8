#pragma once

#include <memory>
#include <optional>

#include "files/NumberedFiles.h"
#include "geometry/mdlPrint.h"
#include "print/ContextScreen.h"
#include "print/ContextWindows.h"
#include "surface/PrintJobs.h"
#include "variant/VbError.h"

namespace zel {

class PrinterSurface;

// What the print objects of one report share: the printer and its job, the page grid, the two
// windows with their flags, the questions to the user and the numbered files. Every print object
// reaches its devices through its context only. In one program all objects share one context unless
// it makes others; the server gives each client connection its own.
// The context ends its job and closes its windows when it goes, with its last object.
class PrintContext {
public:
    PrintContext();  // the real printer
    // Another printer (tests record what is drawn on it).
    explicit PrintContext(std::unique_ptr<PrinterSurface> printer);
    ~PrintContext();
    PrintContext(const PrintContext&) = delete;
    PrintContext& operator=(const PrintContext&) = delete;

    // The context that the program's print objects share unless they are given another: made
    // with the first of them, gone with the last.
    static std::shared_ptr<PrintContext> shared();

    PrinterSurface& printer() { return *printer_; }
    mdlPrint& geometry() { return geometry_; }
    ContextWindows& windows() { return windows_; }
    // The main window, loaded by the first member that needs it.
    ContextScreen& frm() { return windows_.screen(); }
    PrintJobs& jobs() { return jobs_; }
    UserQuestions& questions() { return windows_.questions(); }
    NumberedFiles& files() { return files_; }

private:
    PrintJobs jobs_;
    std::unique_ptr<PrinterSurface> printer_;
    mdlPrint geometry_;
    ContextWindows windows_;
    NumberedFiles files_;
};

}  // namespace zel
