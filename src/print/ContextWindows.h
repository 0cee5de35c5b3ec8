#pragma once

#include <atomic>

#include "print/LoadedWindows.h"
#include "print/WindowLook.h"

namespace zel {

// The windows of a print context ("Afdrukken", "Afdrukken bevestigen") and its questions, made
// (makeWindows) by the first member that needs a window or a question: a report that only
// prints measures its grid and keeps the window's look without them, and so a program that
// shows nothing need not load the widgets at all.
class ContextWindows {
public:
    ContextWindows(mdlPrint& geometry, PrinterSurface& printer)
        : geometry_(geometry), printer_(printer) {}
    ~ContextWindows() { delete windows_.load(); }
    ContextWindows(const ContextWindows&) = delete;
    ContextWindows& operator=(const ContextWindows&) = delete;

    bool frmLoaded() const {
        const LoadedWindows* windows = windows_;
        return windows && windows->frmLoaded();
    }
    void unloadFrm();  // forgets the look, as unloading the window does
    void unloadOk();
    void showConfirmation() { loaded().showConfirmation(); }
    void closeQuestions();
    // The grid of the printer, and of the screen while the main window is loaded.
    void CalcMetrics();
    void setFontName(const QString& name);
    void setFontSize(float points);
    void setFontBold(bool bold);
    void setForeColor(int32_t colour);
    void setBackColor(int32_t colour);

    // The main window, loaded (hidden) by the first of its members that needs it.
    ContextScreen& screen() { return loaded().screen(); }
    UserQuestions& questions() { return loaded().questions(); }
    // See PrintWindows::handlers().
    std::recursive_mutex& handlers() { return loaded().handlers(); }
    LoadedWindows& loaded();

private:
    mdlPrint& geometry_;
    PrinterSurface& printer_;
    WindowLook look_;  // until the windows are made
    // Made on the context's thread; the GUI thread may close their questions meanwhile (a
    // client that leaves), which reads whether they are there.
    std::atomic<LoadedWindows*> windows_{nullptr};
};

}  // namespace zel
