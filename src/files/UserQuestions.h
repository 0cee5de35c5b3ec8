#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "variant/Variant.h"

class QDialog;

namespace zel {

// Message box buttons and answers, with the platform's numbers.
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbOK = 1;
constexpr int vbCancel = 2;

// A question as its asker describes it: how its dialog is made, and what is read from the dialog
// once it is answered (given the dialog's result, QDialog::Accepted or Rejected). Both run on the
// GUI thread, which owns the widgets, while the asker waits. A question that nobody is left to
// answer may be neither shown nor read: what the asker holds before it asks is the answer then,
// the one of a cancelled question.
using MakeQuestion = std::function<std::unique_ptr<QDialog>()>;
using ReadAnswer = std::function<void(QDialog& dialog, int result)>;

// How the file layer asks the user (a missing directory, a file to replace, another file name):
// it is given the questions by whoever shows them, so that it needs no windows of its own.
class UserQuestions {
public:
    virtual ~UserQuestions() = default;
    // A message box with the text and the buttons (vbOKOnly or vbOKCancel) under the title (the
    // application title when empty). Returns vbOK or vbCancel.
    virtual int MsgBox(const QString& text, int buttons, const QString& title) = 0;
    // Shows the question and returns once it is answered and read.
    virtual void ask(const MakeQuestion& make, const ReadAnswer& read) = 0;
    // Asks for a file name with an open or save dialog, as AskFileName (windows/FileDialog.h)
    // does: the dialog is the shower's, so that the file layer loads no widgets.
    virtual Variant AskFileName(Variant& FileName, const Variant& Filter, const Variant& Mode,
                                const Variant& option, const Variant& DefaultDir) = 0;
};

}  // namespace zel
