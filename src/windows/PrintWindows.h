#pragma once

#include <QPointer>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "files/UserQuestions.h"
#include "print/LoadedWindows.h"
#include "print/WindowLook.h"
#include "windows/Questions.h"
#include "windows/ScreenWindow.h"

class QDialog;
class QObject;

namespace zel {

class frmOk;
class frmPrint;
class PrinterSurface;
struct mdlPrint;

// The two windows of one print context: "Afdrukken" (frmPrint) and "Afdrukken bevestigen"
// (frmOk), each loaded on first reference and unloaded on request, as forms are. They reach the
// context's page grid and printer through here: the main window's resize handler recomputes the
// grid, and the confirmation window pans the page that the grid measures.
//
// A report that never uses the screen never loads a window: the main window's look (fonts and
// colours) set while it is not loaded is kept here and given to it when it loads, and its part
// of the grid is computed then. Unloading forgets that look, as a form's settings go with it.
//
// The windows live on the GUI thread. Every member here may be called from a print context's
// own thread: it runs on the GUI thread while the caller waits (straight through when called
// there), except frm() and ok(), which hand out the widgets themselves to the GUI thread only.
class PrintWindows : public LoadedWindows {
public:
    PrintWindows(mdlPrint& geometry, PrinterSurface& printer);
    ~PrintWindows() override;  // unloads both windows
    PrintWindows(const PrintWindows&) = delete;
    PrintWindows& operator=(const PrintWindows&) = delete;

    frmPrint& frm();  // loads the main window (hidden) when it is not loaded
    bool frmLoaded() const override;
    void unloadFrm() override;
    // The main window for a print context: loaded (hidden) by its first member that needs it.
    ScreenWindow& screen() override { return screen_; }
    // The context's questions besides the confirmation, kept open here.
    UserQuestions& questions() override { return questions_; }

    frmOk& ok();  // loads the confirmation window (not shown) when it is not loaded
    bool okLoaded() const;
    void unloadOk() override;  // runs its unload handler (an unanswered close is an abort)
    // Puts up the page's question afresh: a new confirmation window, shown without the focus.
    void showConfirmation() override;

    // Asks the context's question besides the confirmation (a message box, a file dialog), as
    // askQuestion does: from the context's thread it holds no one else.
    void ask(const MakeQuestion& make, const ReadAnswer& read);
    // Closes whatever the context asks the user, since nobody is left to answer: the
    // confirmation as unanswered ("Afbreken"), another question as cancelled. The rest of the
    // call whose question it closed asks nothing more: its questions count as unanswered (a
    // missing template's notice follows its cancelled file dialog).
    void closeQuestions() override;

    // Loads and layout passes of frmOk since the page flow last reset it (it does so before
    // each showing); survives unloading.
    int32_t LoadCount = 0;

    mdlPrint& geometry() { return geometry_; }
    PrinterSurface& printer() { return printer_; }
    // The grid of the printer, and of the screen while the main window is loaded.
    void CalcMetrics() override;

    // The main window's look: on the window when it is loaded, kept for it otherwise; values the
    // window refuses (380) are refused here too.
    void setFontName(const QString& name) override;
    void setFontSize(float points) override;
    void setFontBold(bool bold) override;
    void setForeColor(int32_t colour) override;
    void setBackColor(int32_t colour) override;

    // Taken by the windows' handlers that change the context (a resize measures its grid, the
    // printer dialog sets its colour), and by a call of the context while it runs on a thread of
    // its own (ContextHold): a handler never changes the grid under a running call.
    std::recursive_mutex& handlers() override { return handlers_; }
    // Runs a handler's action on the GUI thread with handlers() held: at once when no call of
    // the context runs, else a moment later (dropped with the receiver), so that the GUI thread,
    // which also reads the bus, never waits for a running call.
    void whileHeld(QObject* receiver, std::function<void()> action);

private:
    std::recursive_mutex handlers_;
    mdlPrint& geometry_;
    PrinterSurface& printer_;

    frmPrint* frm_ = nullptr;
    frmOk* ok_ = nullptr;
    QPointer<QDialog> question_;  // the other question open, GUI thread only
    // The call (ContextHold::currentCall) that asked the last question, and one whose question
    // was closed unanswered.
    std::atomic<uint64_t> askingCall_{0};
    std::atomic<uint64_t> unansweredCall_{0};
    // Whether each is loaded, for the context's thread to ask without a round trip (a report in
    // mode "P" asks at every text): the pointers above change on the GUI thread only.
    std::atomic<bool> frmLoaded_{false};
    std::atomic<bool> okLoaded_{false};
    WindowLook look_;
    ScreenWindow screen_{*this};
    ShownQuestions questions_{*this};
};

}  // namespace zel
