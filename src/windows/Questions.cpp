#include "windows/Questions.h"

#include <QDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "general/GuiThread.h"
#include "general/SettingsStore.h"
#include "windows/HandlerGuard.h"
#include "windows/frmOk.h"

namespace zel {

namespace {

Answerer& installed() {
    static Answerer answerer;
    return answerer;
}

void noteAnswer(const QString& question, const QString& answer) {
    std::fprintf(stderr, "zelprint: no display: \"%s\" answered with \"%s\"\n",
                 qPrintable(question), qPrintable(answer));
}

}  // namespace

void installAnswerer(Answerer answerer) {
    installed() = std::move(answerer);
}

bool hasAnswerer() {
    return static_cast<bool>(installed());
}

void answerLater(QWidget* question) {
    if (!hasAnswerer()) return;
    // The question as context: the call is dropped when the question is destroyed first.
    QTimer::singleShot(0, question, [question] {
        runHandler("answering a question", [question] {
            if (hasAnswerer()) installed()(question);
        });
    });
}

int execQuestion(QDialog& dialog) {
    answerLater(&dialog);
    return dialog.exec();
}

namespace {

// The box is a widget: made, shown and read on the GUI thread.
int showMessageBox(const QString& text, int buttons, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? AppTitle() : title, text,
                    QMessageBox::Ok);
    if (buttons == vbOKCancel) {
        box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setEscapeButton(QMessageBox::Ok);
    }
    execQuestion(box);
    if (buttons == vbOKCancel && box.clickedButton() != box.button(QMessageBox::Ok))
        return vbCancel;
    return vbOK;
}

}  // namespace

int MsgBox(const QString& text, int buttons, const QString& title) {
    return onGui([&] { return showMessageBox(text, buttons, title); });
}

void noDisplayAnswerer(QWidget* question) {
    if (auto* box = qobject_cast<QMessageBox*>(question)) {
        QAbstractButton* button = box->button(QMessageBox::Cancel);
        if (!button) button = box->button(QMessageBox::Ok);
        if (!button) return;
        noteAnswer(box->text(), button->text());
        button->click();
    } else if (auto* ok = qobject_cast<frmOk*>(question)) {
        noteAnswer(ok->fraCommand()->title(), ok->cmdOk()->text());
        ok->cmdOk()->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(question)) {
        noteAnswer(dialog->windowTitle(), QStringLiteral("Cancel"));
        dialog->reject();
    }
}

}  // namespace zel
