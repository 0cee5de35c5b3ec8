#pragma once

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <deque>
#include <functional>

#include "windows/Questions.h"

namespace zel {

// The questions as the windows show them, for the file layer under test.
inline ShownQuestions asked;

// What a question showed the user.
struct Shown {
    Shown() = default;
    Shown(const QString& t, const QString& x) : title(t), text(x) {}
    QString title;
    QString text;       // a message box's text; a file dialog's first file name
    QString directory;  // a file dialog's first directory
    bool save = false;  // a save dialog
    bool operator==(const Shown& o) const { return title == o.title && text == o.text; }
};

inline void PrintTo(const Shown& s, std::ostream* os) {
    *os << "[" << s.title.toStdString() << " | " << s.text.toStdString() << "]";
}

// Answers the questions of a test in order, as a user would, and records what each showed. A
// question beyond the script fails the test and is cancelled.
class QuestionScript {
public:
    using Answer = std::function<void(QWidget*)>;

    QuestionScript() {
        installAnswerer([this](QWidget* question) { answer(question); });
    }
    ~QuestionScript() { installAnswerer({}); }

    QuestionScript& then(Answer a) {
        answers_.push_back(std::move(a));
        return *this;
    }

    static Answer ok() { return button(QMessageBox::Ok); }
    static Answer cancel() { return button(QMessageBox::Cancel); }
    static Answer pick(const QString& path) {
        return [path](QWidget* q) {
            auto* dialog = qobject_cast<QFileDialog*>(q);
            ASSERT_NE(dialog, nullptr) << "expected a file dialog";
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();  // the file dialog's own checks run
        };
    }
    static Answer dismiss() {
        return [](QWidget* q) {
            auto* dialog = qobject_cast<QFileDialog*>(q);
            ASSERT_NE(dialog, nullptr) << "expected a file dialog";
            dialog->reject();
        };
    }

    const std::vector<Shown>& shown() const { return shown_; }
    bool done() const { return answers_.empty(); }

private:
    static Answer button(QMessageBox::StandardButton which) {
        return [which](QWidget* q) {
            auto* box = qobject_cast<QMessageBox*>(q);
            ASSERT_NE(box, nullptr) << "expected a message box";
            ASSERT_NE(box->button(which), nullptr);
            box->button(which)->click();
        };
    }

    void answer(QWidget* question) {
        Shown s;
        s.title = question->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(question)) s.text = box->text();
        if (auto* dialog = qobject_cast<QFileDialog*>(question)) {
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            s.text = name ? name->text() : QString();
            s.directory = dialog->directory().absolutePath();
            s.save = dialog->acceptMode() == QFileDialog::AcceptSave;
        }
        shown_.push_back(s);
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected question: " << s.title.toStdString() << " | "
                          << s.text.toStdString();
            noDisplayAnswerer(question);
            return;
        }
        Answer a = std::move(answers_.front());
        answers_.pop_front();
        a(question);
    }

    std::deque<Answer> answers_;
    std::vector<Shown> shown_;
};

}  // namespace zel
