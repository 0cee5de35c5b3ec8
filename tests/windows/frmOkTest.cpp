#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "WindowsFixture.h"

namespace zel {
namespace {

using ConfirmationTest = WindowsTest;

TEST_F(ConfirmationTest, LoadingOpensTheWaitAndCountsTheLoad) {
    frmOk& ok = frmOk::Get();
    EXPECT_TRUE(frmOk::Loaded());
    EXPECT_EQ(frmOk::LoadCount, 1);
    EXPECT_TRUE(frmPrint::Get().OkCancel);
    EXPECT_FALSE(ok.isVisible());
    EXPECT_EQ(ok.windowTitle(), "Afdrukken bevestigen");
    EXPECT_EQ(ok.fraCommand()->title(), "Einde blad, Wilt u nu verder gaan?");
    EXPECT_EQ(ok.cmdOk()->text(), "Ja");
    EXPECT_EQ(ok.cmdAnnuleer()->text(), "Afbreken");
    EXPECT_EQ(ok.cmdOk()->parentWidget(), ok.fraCommand());
    EXPECT_EQ(ok.cmdAnnuleer()->parentWidget(), ok.fraCommand());
}

TEST_F(ConfirmationTest, ShowsOnTopWithoutTakingTheFocus) {
    frmOk& ok = frmOk::Get();
    ok.ShowNonModal();
    settle();
    EXPECT_TRUE(ok.isVisible());
    EXPECT_TRUE(ok.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(ok.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(ok.testAttribute(Qt::WA_ShowWithoutActivating));
}

// The load counts 1, the first layout pass 2, and the layout writes the count into the main
// window's status bar.
TEST_F(ConfirmationTest, LayoutPassesAreCountedIntoTheStatusBar) {
    frmOk& ok = frmOk::Get();
    ok.ShowNonModal();
    settle();
    EXPECT_EQ(frmOk::LoadCount, 2);
    EXPECT_EQ(frmPrint::Get().stbPrintPanel()->text(), "2");
    ok.resize(ok.width() + 40, ok.height() + 20);
    settle();
    EXPECT_EQ(frmOk::LoadCount, 3);
    EXPECT_EQ(frmPrint::Get().stbPrintPanel()->text(), "3");
}

TEST_F(ConfirmationTest, ButtonsSitSideBySideInsideTheFrame) {
    frmOk& ok = frmOk::Get();
    ok.ShowNonModal();
    ok.resize(400, 200);
    settle();
    const QRect frame = ok.fraCommand()->geometry();
    const QRect ja = ok.cmdOk()->geometry();
    const QRect afbreken = ok.cmdAnnuleer()->geometry();
    EXPECT_TRUE(ok.rect().contains(frame));
    EXPECT_TRUE(QRect(QPoint(), frame.size()).contains(ja));
    EXPECT_TRUE(QRect(QPoint(), frame.size()).contains(afbreken));
    EXPECT_LT(ja.right(), afbreken.left());
    EXPECT_EQ(ja.top(), afbreken.top());
    EXPECT_NEAR(ja.width(), afbreken.width(), 1);
}

TEST_F(ConfirmationTest, EachAnswerSetsTheFlagsAndUnloads) {
    enum Action { Ja, Afbreken, CloseBox };
    struct Case {
        Action action;
        bool annuleer;
    } cases[] = {{Ja, false}, {Afbreken, true}, {CloseBox, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        frmPrint& frm = frmPrint::Get();
        frm.Tekenen = true;  // as the page flow sets it before asking
        frm.Annuleer = !c.annuleer;
        frmOk& ok = frmOk::Get();
        ok.ShowNonModal();
        settle();
        if (c.action == Ja) QTest::mouseClick(ok.cmdOk(), Qt::LeftButton);
        if (c.action == Afbreken) QTest::mouseClick(ok.cmdAnnuleer(), Qt::LeftButton);
        if (c.action == CloseBox) ok.close();
        EXPECT_FALSE(frm.Tekenen);
        EXPECT_EQ(frm.Annuleer, c.annuleer);
        EXPECT_FALSE(frm.OkCancel);
        EXPECT_FALSE(frmOk::Loaded());
        settle();
    }
}

TEST_F(ConfirmationTest, UnloadingAnAnsweredWindowLeavesTheAnswer) {
    frmPrint& frm = frmPrint::Get();
    frmOk::Get();
    frm.Tekenen = true;
    frm.Annuleer = false;
    frm.OkCancel = false;  // answered by the menu item: redraw and ask again
    frmOk::Unload();
    EXPECT_TRUE(frm.Tekenen);
    EXPECT_FALSE(frm.Annuleer);
    EXPECT_FALSE(frm.OkCancel);
}

TEST_F(ConfirmationTest, LoadCountOutlivesTheWindow) {
    frmOk::Get();
    frmOk::Unload();
    frmOk::Get();
    EXPECT_EQ(frmOk::LoadCount, 2);
}

}  // namespace
}  // namespace zel
