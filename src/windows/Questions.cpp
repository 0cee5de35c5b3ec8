#include "windows/Questions.h"

#include <QDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "general/GuiThread.h"
#include "general/SettingsStore.h"
#include "windows/FileDialog.h"
#include "windows/HandlerGuard.h"
#include "windows/PrintWindows.h"
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

void askQuestion(const MakeQuestion& make, const ReadAnswer& read, QPointer<QDialog>* open) {
    if (onGuiThread()) {
        const std::unique_ptr<QDialog> dialog = make();
        if (open) *open = dialog.get();
        read(*dialog, execQuestion(*dialog));
        return;
    }
    awaitOnGuiThread([&make, &read, open](const Answered& answered) {
        QDialog* dialog = make().release();
        dialog->setWindowModality(Qt::NonModal);
        if (open) *open = dialog;
        // Read once, at the first answer: the asker's reader is gone after it.
        QObject::connect(
            dialog, &QDialog::finished, dialog,
            [dialog, &read, answered](int result) {
                std::exception_ptr error;
                try {
                    read(*dialog, result);
                } catch (...) {
                    error = std::current_exception();
                }
                dialog->deleteLater();
                answered(error);
            },
            Qt::SingleShotConnection);
        // A dialog destroyed unanswered must not leave its asker waiting for good.
        QObject::connect(dialog, &QObject::destroyed, [answered] { answered(nullptr); });
        dialog->show();
        answerLater(dialog);
    });
}

int ShownQuestions::MsgBox(const QString& text, int buttons, const QString& title) {
    int answer = buttons == vbOKCancel ? vbCancel : vbOK;  // also when it is closed unanswered
    ask(
        [&] {
            auto box = std::make_unique<QMessageBox>(
                QMessageBox::NoIcon, title.isEmpty() ? AppTitle() : title, text, QMessageBox::Ok);
            if (buttons == vbOKCancel) {
                box->addButton(QMessageBox::Cancel);
                box->setEscapeButton(QMessageBox::Cancel);
            } else {
                box->setEscapeButton(QMessageBox::Ok);
            }
            return box;
        },
        [&](QDialog& dialog, int) {
            const auto& box = static_cast<QMessageBox&>(dialog);
            if (box.clickedButton() == box.button(QMessageBox::Ok)) answer = vbOK;
        });
    return answer;
}

void ShownQuestions::ask(const MakeQuestion& make, const ReadAnswer& read) {
    if (windows_) return windows_->ask(make, read);
    askQuestion(make, read);
}

Variant ShownQuestions::AskFileName(Variant& FileName, const Variant& Filter, const Variant& Mode,
                                    const Variant& option, const Variant& DefaultDir) {
    return zel::AskFileName(*this, FileName, Filter, Mode, option, DefaultDir);
}

int MsgBox(const QString& text, int buttons, const QString& title) {
    return ShownQuestions().MsgBox(text, buttons, title);
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
