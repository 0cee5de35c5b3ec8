#pragma once

#include <QString>

class QDialog;

namespace zel {

// Message box buttons and answers, with the platform's numbers.
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbOK = 1;
constexpr int vbCancel = 2;

// How the file layer asks the user (a missing directory, a file to replace, another file name):
// it is given the questions by whoever shows them, so that it needs no windows of its own.
class UserQuestions {
public:
    virtual ~UserQuestions() = default;
    // A message box with the text and the buttons (vbOKOnly or vbOKCancel) under the title (the
    // application title when empty). Returns vbOK or vbCancel.
    virtual int MsgBox(const QString& text, int buttons, const QString& title) = 0;
    // Shows a dialog modally and returns its result (QDialog::Accepted or Rejected).
    virtual int execQuestion(QDialog& dialog) = 0;
};

}  // namespace zel
