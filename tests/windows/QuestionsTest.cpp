#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

#include "WindowsFixture.h"
#include "surface/PrinterDestination.h"

namespace zel {
namespace {

using QuestionsTest = WindowsTest;

// Clicks the message box button with the given role, as a user would.
Answerer clicking(QMessageBox::StandardButton which, QString* text, QString* title) {
    return [=](QWidget* question) {
        auto* box = qobject_cast<QMessageBox*>(question);
        ASSERT_NE(box, nullptr);
        *text = box->text();
        *title = box->windowTitle();
        QTest::mouseClick(box->button(which), Qt::LeftButton);
    };
}

TEST_F(QuestionsTest, MessageBoxIsAnsweredThroughItsButtons) {
    struct Case {
        int buttons;
        QMessageBox::StandardButton click;
        int expected;
    } cases[] = {
        {vbOKCancel, QMessageBox::Ok, vbOK},
        {vbOKCancel, QMessageBox::Cancel, vbCancel},
        {vbOKOnly, QMessageBox::Ok, vbOK},
    };
    for (const Case& c : cases) {
        QString text, title;
        installAnswerer(clicking(c.click, &text, &title));
        EXPECT_EQ(MsgBox("/tmp/rapport.psj", c.buttons, "Bestand niet gevonden"), c.expected);
        EXPECT_EQ(text, "/tmp/rapport.psj");
        EXPECT_EQ(title, "Bestand niet gevonden");
    }
}

TEST_F(QuestionsTest, MessageBoxWithoutTitleShowsTheApplicationTitle) {
    QString text, title;
    installAnswerer(clicking(QMessageBox::Ok, &text, &title));
    MsgBox("Overloading load");
    EXPECT_EQ(title, AppTitle());
}

// The wait of the page flow: events are processed until OkCancel falls.
TEST_F(QuestionsTest, AnswererAnswersTheConfirmationInsideTheWaitLoop) {
    installAnswerer([](QWidget* question) {
        auto* ok = qobject_cast<frmOk*>(question);
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok->cmdOk(), Qt::LeftButton);
    });
    frmPrint& frm = windows().frm();
    frm.Tekenen = true;
    windows().ok().ShowNonModal();
    EXPECT_TRUE(frm.OkCancel);  // the answer comes once events are processed
    EXPECT_TRUE(waitFor([&] { return !frm.OkCancel; }));
    EXPECT_FALSE(frm.Tekenen);
    EXPECT_FALSE(frm.Annuleer);
    EXPECT_FALSE(windows().okLoaded());
}

TEST_F(QuestionsTest, WithoutAnAnswererTheConfirmationWaitsForTheUser) {
    windows().ok().ShowNonModal();
    EXPECT_FALSE(waitFor([this] { return !windows().frm().OkCancel; }, 300));
}

TEST_F(QuestionsTest, NoDisplayPolicyGivesTheSafeAnswerAndSaysSo) {
    installAnswerer(noDisplayAnswerer);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MsgBox("/data/out", vbOKCancel, "Map aanmaken?"), vbCancel);
    EXPECT_EQ(MsgBox("Overloading resize", vbOKOnly), vbOK);
    QFileDialog files(nullptr, "Bestand kiezen");
    EXPECT_EQ(execQuestion(files), QDialog::Rejected);
    frmPrint& frm = windows().frm();
    frm.Tekenen = true;
    windows().ok().ShowNonModal();
    EXPECT_TRUE(waitFor([&] { return !frm.OkCancel; }));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(frm.Tekenen);
    EXPECT_FALSE(frm.Annuleer);
    for (const char* question : {"/data/out", "Overloading resize", "Bestand kiezen",
                                 "Einde blad, Wilt u nu verder gaan?"})
        EXPECT_NE(said.find(question), std::string::npos) << question << " in " << said;
}

TEST_F(QuestionsTest, CancelledPrinterChoiceKeepsTheDestination) {
    installAnswerer(noDisplayAnswerer);
    testing::internal::CaptureStderr();
    windows().frm().mnuSelecteerPrinter()->trigger();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(chosenDestination(), "");
}

TEST_F(QuestionsTest, ChosenPdfFileMakesItsFolderTheDestination) {
    QTemporaryDir out;
    installAnswerer([&](QWidget* question) {
        auto* dialog = qobject_cast<QPrintDialog*>(question);
        ASSERT_NE(dialog, nullptr);
        auto* printers = dialog->findChild<QComboBox*>("printers");
        auto* file = dialog->findChild<QLineEdit*>("filename");
        ASSERT_TRUE(printers && file);
        printers->setCurrentIndex(printers->findText("PDF", Qt::MatchContains));
        file->setText(out.filePath("rapport.pdf"));
        dialog->accept();
    });
    windows().frm().mnuSelecteerPrinter()->trigger();
    EXPECT_EQ(chosenDestination(), "pdf:" + out.path());
}

}  // namespace
}  // namespace zel
