#include <QGroupBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>

#include "WindowsFixture.h"

namespace zel {
namespace {

// The scroll bars show and move frmPrint's view of the page: 0 its start, 100 its end.
class ConfirmationScrollTest : public WindowsTest {
protected:
    // frmOk laid out again (as frmPrint's resize handler asks) with the page that much wider
    // and higher than frmPrint's drawing area and the view at that origin.
    frmOk& layOutFor(float pageBeyondView, float originX, float originY) {
        frmPrint& frm = windows().frm();
        geometry().PageWidthScreen = int32_t(frm.ScaleWidth() + pageBeyondView);
        geometry().PageHeightScreen = int32_t(frm.ScaleHeight() + pageBeyondView);
        frm.setScaleLeft(originX);
        frm.setScaleTop(originY);
        frmOk& ok = windows().ok();
        windows().LoadCount = 0;
        ok.Resize();
        return ok;
    }
};

TEST_F(ConfirmationScrollTest, ValuesFollowTheViewsOrigin) {
    struct Case {
        const char* what;
        float beyond, origin;
        int value;
    } cases[] = {
        {"at the start", 3000, 0, 0},         {"half way", 3000, 1500, 50},
        {"whole part", 3000, 2990, 99},       {"at the far edge", 3000, 3000, 100},
        {"beyond the edge", 3000, 4500, 100}, {"before the start", 3000, -100, 0},
        {"page fits exactly", 0, 500, 0},     {"view larger than the page", -1000, -500, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        frmOk& ok = layOutFor(c.beyond, c.origin, c.origin);
        EXPECT_EQ(ok.HScroll1()->value(), c.value);
        EXPECT_EQ(ok.VScroll1()->value(), c.value);
        // Setting the values during the layout pans nothing and answers nothing.
        EXPECT_TRUE(windows().okLoaded());
        EXPECT_TRUE(windows().frm().OkCancel);
        EXPECT_FLOAT_EQ(windows().frm().ScaleLeft(), c.origin);
    }
}

// A large step pans by the visible share of the page, never by less than 1.
TEST_F(ConfirmationScrollTest, LargeStepIsTheVisibleShareAndAtLeastOne) {
    frmPrint& frm = windows().frm();
    const float view = frm.ScaleWidth();
    struct Case {
        const char* what;
        int32_t page;
        int step;
    } cases[] = {
        {"page twice the view", int32_t(view * 2), 50},
        {"page smaller than the view", int32_t(view / 2), 100},
        {"view under 1 % of the page", int32_t(view * 400), 1},
        {"no page", 0, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        geometry().PageWidthScreen = c.page;
        frmOk& ok = windows().ok();
        windows().LoadCount = 0;
        ok.Resize();
        EXPECT_EQ(ok.HScroll1()->pageStep(), c.step);
        EXPECT_GE(ok.VScroll1()->pageStep(), 1);
    }
}

// Moving a scroll bar, by the mouse or by the keys of a window the user has chosen, pans
// frmPrint's view, asks for a redraw and unloads the window; the page flow then draws the page
// again and asks again.
TEST_F(ConfirmationScrollTest, MovingAScrollBarPansTheViewAndAsksForARedraw) {
    enum Move { PageRight, PageDown, RightKey, DownKey };
    for (Move move : {PageRight, PageDown, RightKey, DownKey}) {
        SCOPED_TRACE(move);
        frmOk& ok = layOutFor(3000, 0, 0);
        settle();
        frmPrint& frm = windows().frm();
        frm.Tekenen = false;
        frm.Annuleer = true;
        const bool horizontal = move == PageRight || move == RightKey;
        QScrollBar* moved = horizontal ? ok.HScroll1() : ok.VScroll1();
        const int step = move == PageRight || move == PageDown ? moved->pageStep() : 1;
        if (step == 1) {
            QTest::mouseClick(ok.fraCommand(), Qt::LeftButton);  // the user chooses the window
            QTest::keyClick(ok.cmdOk(), horizontal ? Qt::Key_Right : Qt::Key_Down);
        } else {
            moved->triggerAction(QAbstractSlider::SliderPageStepAdd);
        }
        const float expected = 3000.0f * step / 100;
        EXPECT_FLOAT_EQ(horizontal ? frm.ScaleLeft() : frm.ScaleTop(), expected);
        EXPECT_FLOAT_EQ(horizontal ? frm.ScaleTop() : frm.ScaleLeft(), 0);
        EXPECT_TRUE(frm.Tekenen);
        EXPECT_FALSE(frm.Annuleer);
        EXPECT_FALSE(frm.OkCancel);
        EXPECT_FALSE(windows().okLoaded());
        settle();
        frm.setScaleLeft(0);
        frm.setScaleTop(0);
    }
}

// Step after step to the far edge: the window shown again after each redraw reads the view's
// origin back into the same value, so every step goes on from the last (a rounding that lost
// the step put the thumb back at the start each time, and 16 clicks moved the page 2 pixels);
// a page no larger than the view has nothing to pan and stays at its start.
TEST_F(ConfirmationScrollTest, StepsGoOnFromThePositionReadBack) {
    struct Case {
        const char* what;
        float beyond;
        bool pans;
    } cases[] = {{"page a little larger", 77.7f, true},
                 {"page much larger", 12345.6f, true},
                 {"page as large as the view", 0, false},
                 {"page smaller than the view", -2000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        frmOk* ok = &layOutFor(c.beyond, 0, 0);
        EXPECT_EQ(ok->VScroll1()->isEnabled(), c.pans);
        // Ten arrow steps, then the trough up to the bottom edge.
        for (int step = 1; step <= 12 && ok->VScroll1()->value() < 100; ++step) {
            const bool arrow = step <= 10;
            ok->VScroll1()->triggerAction(arrow ? QAbstractSlider::SliderSingleStepAdd
                                                : QAbstractSlider::SliderToMaximum);
            const int asked = ok->VScroll1()->value();
            settle();
            windows().LoadCount = 0;
            ok = &windows().ok();
            ok->Resize();
            ASSERT_EQ(ok->VScroll1()->value(), c.pans ? asked : 0);
            if (!c.pans) break;
        }
        const float range = geometry().PageHeightScreen - windows().frm().ScaleHeight();
        EXPECT_FLOAT_EQ(windows().frm().ScaleTop(), std::max(0.0f, range));
        windows().frm().setScaleTop(0);
    }
}

TEST_F(ConfirmationScrollTest, LayingOutAHiddenWindowShowsIt) {
    frmOk& ok = windows().ok();
    ASSERT_FALSE(ok.isVisible());
    ok.Resize();
    EXPECT_TRUE(ok.isVisible());
    EXPECT_EQ(windows().LoadCount, 2);
}

}  // namespace
}  // namespace zel
