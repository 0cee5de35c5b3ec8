#pragma once

#include <QPointer>
#include <QString>
#include <functional>

#include "files/UserQuestions.h"

class QDialog;
class QWidget;

namespace zel {

class PrintWindows;

// Every question to the user (message boxes, file and printer dialogs, frmOk's confirmation)
// is shown through this layer. Once the question is showing, the installed answerer (if any) is
// called with the real widget and answers it as a user would, through its own buttons, so the
// code behind the question runs its normal path. Without an answerer, questions wait for the
// user. Tests install their own answerer; the zelprint executable installs noDisplayAnswerer
// when it runs without a display.
using Answerer = std::function<void(QWidget* question)>;

void installAnswerer(Answerer answerer);  // an empty answerer removes it
bool hasAnswerer();

// Calls the answerer for a question that has just been shown, once the events pending now are
// processed (so that a wait loop polling for the answer sees it). Does nothing without an
// answerer or when the question is gone by then.
void answerLater(QWidget* question);

// Shows a dialog modally and returns its result (QDialog::Accepted or Rejected). For the GUI
// thread's own questions (a window's menu).
int execQuestion(QDialog& dialog);

// Asks a question and returns once it is answered and read. On the GUI thread (a program that
// prints on its own thread) its dialog is modal, with an event loop of its own, as a program
// without threads expects. From a print context's own thread it is shown without an event loop
// and modal to no window, so that it holds no other client, and only the asking thread waits
// for the answer: each question returns at its own answer, whatever the order in which several
// are answered. The dialog is kept in `open` (when given) while it is up, on the GUI thread, so
// that it can be closed when nobody is left to answer it.
void askQuestion(const MakeQuestion& make, const ReadAnswer& read,
                 QPointer<QDialog>* open = nullptr);

// A message box with the text and the buttons (vbOKOnly or vbOKCancel) under the title (the
// application title when empty). Returns vbOK or vbCancel; closing it counts as Cancel when
// there is a Cancel button and as OK otherwise.
int MsgBox(const QString& text, int buttons = vbOKOnly, const QString& title = QString());

// The questions as the file layer asks them: shown here, answered by the user or the answerer.
class ShownQuestions : public UserQuestions {
public:
    ShownQuestions() = default;
    // A print context's: its windows keep the one that is open.
    explicit ShownQuestions(PrintWindows& windows) : windows_(&windows) {}

    int MsgBox(const QString& text, int buttons, const QString& title) override;
    void ask(const MakeQuestion& make, const ReadAnswer& read) override;
    Variant AskFileName(Variant& FileName, const Variant& Filter, const Variant& Mode,
                        const Variant& option, const Variant& DefaultDir) override;

private:
    PrintWindows* windows_ = nullptr;
};

// The policy when nobody can answer: a file or printer dialog counts as cancelled, an OK/Cancel
// box as Cancel, an OK box as acknowledged, frmOk's confirmation as "Ja". Each answer is written
// to standard error with the question's text.
void noDisplayAnswerer(QWidget* question);

}  // namespace zel
