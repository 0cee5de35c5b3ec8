#include <QScrollBar>

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
        {"page fits exactly", 0, 500, 0},     {"view larger than the page", -1000, -500, 50},
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

// Moving a scroll bar pans frmPrint's view, asks for a redraw and unloads the window; the
// page flow then draws the page again and asks again.
TEST_F(ConfirmationScrollTest, MovingAScrollBarPansTheViewAndAsksForARedraw) {
    enum Bar { Horizontal, Vertical };
    for (Bar bar : {Horizontal, Vertical}) {
        SCOPED_TRACE(bar);
        frmOk& ok = layOutFor(3000, 0, 0);
        settle();
        frmPrint& frm = windows().frm();
        frm.Tekenen = false;
        frm.Annuleer = true;
        QScrollBar* moved = bar == Horizontal ? ok.HScroll1() : ok.VScroll1();
        const int step = moved->pageStep();
        moved->triggerAction(QAbstractSlider::SliderPageStepAdd);
        const float expected = 3000.0f * step / 100;
        EXPECT_FLOAT_EQ(bar == Horizontal ? frm.ScaleLeft() : frm.ScaleTop(), expected);
        EXPECT_FLOAT_EQ(bar == Horizontal ? frm.ScaleTop() : frm.ScaleLeft(), 0);
        EXPECT_TRUE(frm.Tekenen);
        EXPECT_FALSE(frm.Annuleer);
        EXPECT_FALSE(frm.OkCancel);
        EXPECT_FALSE(windows().okLoaded());
        settle();
        frm.setScaleLeft(0);
        frm.setScaleTop(0);
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
