#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "WindowsFixture.h"
#include "windows/ScreenUnits.h"

namespace zel {
namespace {

using ConfirmationTest = WindowsTest;

TEST_F(ConfirmationTest, LoadingOpensTheWaitAndCountsTheLoad) {
    frmOk& ok = windows().ok();
    EXPECT_TRUE(windows().okLoaded());
    EXPECT_EQ(windows().LoadCount, 1);
    EXPECT_TRUE(windows().frm().OkCancel);
    EXPECT_FALSE(ok.isVisible());
    EXPECT_EQ(ok.windowTitle(), "Afdrukken bevestigen");
    EXPECT_EQ(ok.fraCommand()->title(), "Einde blad, Wilt u nu verder gaan?");
    EXPECT_EQ(ok.cmdOk()->text(), "Ja");
    EXPECT_EQ(ok.cmdAnnuleer()->text(), "Afbreken");
    EXPECT_EQ(ok.cmdOk()->parentWidget(), ok.fraCommand());
    EXPECT_EQ(ok.cmdAnnuleer()->parentWidget(), ok.fraCommand());
}

// The offscreen platform activates every window it shows; that the focus stays where it was
// is seen under a real window manager (tests/e2e/test_screen_window.sh).
TEST_F(ConfirmationTest, ShowsOnTopWithoutTakingTheFocus) {
    frmOk& ok = windows().ok();
    ok.ShowNonModal();
    settle();
    EXPECT_TRUE(ok.isVisible());
    EXPECT_TRUE(ok.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(ok.testAttribute(Qt::WA_ShowWithoutActivating));
}

// The load counts 1, the first layout pass 2, and the layout writes the count into the main
// window's status bar.
TEST_F(ConfirmationTest, LayoutPassesAreCountedIntoTheStatusBar) {
    frmOk& ok = windows().ok();
    ok.ShowNonModal();
    settle();
    EXPECT_EQ(windows().LoadCount, 2);
    EXPECT_EQ(windows().frm().stbPrintPanel()->text(), "2");
    ok.resize(ok.width() + 40, ok.height() + 20);
    settle();
    EXPECT_EQ(windows().LoadCount, 3);
    EXPECT_EQ(windows().frm().stbPrintPanel()->text(), "3");
}

// The controls follow the window's client size (in pixels here; the tables are in twips of
// the same scale): scroll bars along the bottom (17 % high) and right (5 % wide) edges, the
// frame with a 5 % band above and left of it, the buttons at 6 % and 53 % of the frame.
TEST_F(ConfirmationTest, ControlsFollowTheWindowSize) {
    const double minimum = 100 / TwipsPerPixelY();  // the 100-twip base of a tiny window
    struct Size {
        int w, h;
    } sizes[] = {{400, 200}, {204, 115}, {640, 90}, {24, 12}};
    frmOk& ok = windows().ok();
    ok.ShowNonModal();
    settle();
    for (const Size& s : sizes) {
        SCOPED_TRACE(testing::Message() << s.w << "x" << s.h);
        windows().LoadCount = 0;
        ok.resize(s.w, s.h);
        settle();
        ASSERT_EQ(ok.size(), QSize(s.w, s.h));
        const double hs = std::round(s.h * 0.17);
        const double vw = std::round(s.w * 0.05);
        const double fh = std::max(s.h - hs, minimum) * 0.85;
        const double fw = std::max(s.w - vw, double(100 / TwipsPerPixelX())) * 0.9;
        struct Expected {
            const char* control;
            QRect actual;
            double left, top, width, height;
        } expected[] = {
            {"HScroll1", ok.HScroll1()->geometry(), 0, s.h - hs, double(s.w), hs},
            {"VScroll1", ok.VScroll1()->geometry(), s.w - vw, 0, vw, std::max(s.h - hs, minimum)},
            {"fraCommand", ok.fraCommand()->geometry(), (s.w - vw) * 0.05, (s.h - hs) * 0.05, fw,
             fh},
            {"cmdOk", ok.cmdOk()->geometry(), fw * 0.06, fh * 0.35, fw * 0.41, fh * 0.5},
            {"cmdAnnuleer", ok.cmdAnnuleer()->geometry(), fw * 0.53, fh * 0.35, fw * 0.41,
             fh * 0.5},
        };
        for (const Expected& e : expected) {
            SCOPED_TRACE(e.control);
            EXPECT_NEAR(e.actual.x(), e.left, 1.0);
            EXPECT_NEAR(e.actual.y(), e.top, 1.0);
            // The frame's measures are rounded once more on their way to the buttons.
            EXPECT_NEAR(e.actual.width(), e.width, 1.5);
            EXPECT_NEAR(e.actual.height(), e.height, 1.5);
        }
    }
}

// At a fifth of a 1024-pixel screen the question still fits the frame; the buttons keep the
// normal font.
TEST_F(ConfirmationTest, TheQuestionFitsTheFrameAtTheUsualSize) {
    frmOk& ok = windows().ok();
    ok.ShowNonModal();
    ok.resize(200, 90);
    settle();
    const QGroupBox& frame = *ok.fraCommand();
    EXPECT_LE(QFontMetrics(frame.font()).horizontalAdvance(frame.title()), frame.width() - 16);
    EXPECT_EQ(ok.cmdOk()->font().pointSizeF(), QApplication::font().pointSizeF());
    EXPECT_EQ(ok.cmdAnnuleer()->font().pointSizeF(), QApplication::font().pointSizeF());
}

// Beyond ten loads or layout passes between two showings the window only reports it; the
// answers keep working.
TEST_F(ConfirmationTest, OverloadingIsReportedFromTheEleventhPass) {
    QStringList messages;
    installAnswerer([&](QWidget* question) {
        if (auto* box = qobject_cast<QMessageBox*>(question)) {
            messages << box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    frmOk& ok = windows().ok();
    ok.ShowNonModal();
    settle();
    const QRect laidOut = ok.HScroll1()->geometry();
    windows().LoadCount = 9;
    ok.Resize();  // the tenth pass still lays out
    EXPECT_TRUE(messages.isEmpty());
    ok.resize(ok.width() + 60, ok.height());  // the eleventh only reports
    settle();
    EXPECT_EQ(messages, QStringList{"Overloading resize"});
    EXPECT_EQ(windows().LoadCount, 11);
    EXPECT_EQ(windows().frm().stbPrintPanel()->text(), "11");
    EXPECT_EQ(ok.HScroll1()->geometry(), laidOut);
    QTest::mouseClick(ok.cmdOk(), Qt::LeftButton);
    EXPECT_FALSE(windows().okLoaded());

    messages.clear();
    windows().frm().OkCancel = false;
    windows().LoadCount = 10;
    windows().ok();
    EXPECT_EQ(messages, QStringList{"Overloading load"});
    EXPECT_FALSE(windows().frm().OkCancel);  // nothing else of the load happened
}

// Clicks, the close box, and the keyboard once the user has activated the window: the focus
// starts on "Ja", Tab goes on to "Afbreken", Space and Return press the focused button. A
// desktop that activates the window as it maps it (sway does, and so does this offscreen test)
// gives it no keys: a Return typed for another window answers nothing.
TEST_F(ConfirmationTest, EachAnswerSetsTheFlagsAndUnloads) {
    enum Action { Ja, Afbreken, CloseBox, SpaceKey, ReturnKey, TabSpaceKeys, ReturnOnShowing };
    struct Case {
        Action action;
        bool answered, annuleer;
    } cases[] = {{Ja, true, false},
                 {Afbreken, true, true},
                 {CloseBox, true, true},
                 {SpaceKey, true, false},
                 {ReturnKey, true, false},
                 {TabSpaceKeys, true, true},
                 {ReturnOnShowing, false, false}};
    const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        frmPrint& frm = windows().frm();
        frm.Tekenen = true;                       // as the page flow sets it before asking
        frm.Annuleer = c.answered != c.annuleer;  // an answer changes it
        windows().LoadCount = 0;                  // as the page flow resets it before each showing
        frmOk& ok = windows().ok();
        ok.ShowNonModal();
        settle();
        if (c.action == Ja) QTest::mouseClick(ok.cmdOk(), Qt::LeftButton);
        if (c.action == Afbreken) QTest::mouseClick(ok.cmdAnnuleer(), Qt::LeftButton);
        if (c.action == CloseBox) ok.close();
        if (c.action >= SpaceKey) {
            ok.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&ok));
            ASSERT_EQ(QApplication::focusWidget(), ok.cmdOk());
            // The user chooses it with a click beside the buttons.
            if (c.action != ReturnOnShowing) QTest::mouseClick(&ok, Qt::LeftButton, {}, {2, 2});
        }
        if (c.action == TabSpaceKeys) press(Qt::Key_Tab);
        if (c.action == SpaceKey || c.action == TabSpaceKeys) press(Qt::Key_Space);
        if (c.action == ReturnKey || c.action == ReturnOnShowing) press(Qt::Key_Return);
        EXPECT_EQ(frm.Tekenen, !c.answered);
        EXPECT_EQ(frm.Annuleer, c.annuleer);
        EXPECT_EQ(frm.OkCancel, !c.answered);
        EXPECT_EQ(windows().okLoaded(), !c.answered);
        if (!c.answered) windows().unloadOk();
        settle();
    }
}

TEST_F(ConfirmationTest, UnloadingAnAnsweredWindowLeavesTheAnswer) {
    frmPrint& frm = windows().frm();
    windows().ok();
    frm.Tekenen = true;
    frm.Annuleer = false;
    frm.OkCancel = false;  // answered by the menu item: redraw and ask again
    windows().unloadOk();
    EXPECT_TRUE(frm.Tekenen);
    EXPECT_FALSE(frm.Annuleer);
    EXPECT_FALSE(frm.OkCancel);
}

TEST_F(ConfirmationTest, LoadCountOutlivesTheWindow) {
    windows().ok();
    windows().unloadOk();
    windows().ok();
    EXPECT_EQ(windows().LoadCount, 2);
}

}  // namespace
}  // namespace zel
