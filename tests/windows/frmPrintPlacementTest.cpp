#include <QScreen>
#include <QTest>

#include "WindowsFixture.h"
#include "variant/Variant.h"
#include "variant/VbError.h"
#include "windows/ScreenUnits.h"

namespace zel {
namespace {

using PlacementTest = WindowsTest;

struct Placement {
    float top, left, width, height;
};

Placement placementOf(const frmPrint& frm) {
    return {frm.Top(), frm.Left(), frm.Width(), frm.Height()};
}

void expectSamePlacement(const Placement& a, const Placement& b) {
    EXPECT_FLOAT_EQ(a.top, b.top);
    EXPECT_FLOAT_EQ(a.left, b.left);
    EXPECT_FLOAT_EQ(a.width, b.width);
    EXPECT_FLOAT_EQ(a.height, b.height);
}

QString text(float twips) {
    return Variant::Single(twips).toString();
}

TEST_F(PlacementTest, FirstRunOpensEightyPercentOfTheScreenCentredAndHidden) {
    frmPrint& frm = windows().frm();
    const float height = ScreenHeight() * 4 / 5;
    const float width = ScreenWidth() * 4 / 5;
    // Within one pixel: the window measures whole pixels.
    EXPECT_NEAR(frm.Height(), height, TwipsPerPixelY());
    EXPECT_NEAR(frm.Width(), width, TwipsPerPixelX());
    EXPECT_NEAR(frm.Top(), (ScreenHeight() - height) / 2, TwipsPerPixelY());
    EXPECT_NEAR(frm.Left(), (ScreenWidth() - width) / 2, TwipsPerPixelX());
    EXPECT_FALSE(frm.isVisible());
}

TEST_F(PlacementTest, StoredTextsAreReadByTheirLeadingNumber) {
    const float tx = TwipsPerPixelX();
    const float ty = TwipsPerPixelY();
    struct Case {
        const char* top;
        const char* left;
        float expectedTop;
        float expectedLeft;
    } cases[] = {
        {"750", "1500", 50 * ty, 100 * tx},
        {" 750 twips", "1500.4abc", 50 * ty, 100 * tx},
        {"abc", "", 0, 0},
        {"-1.5e2", "3e2", -10 * ty, 20 * tx},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.top);
        store("WindowTop", c.top);
        store("WindowLeft", c.left);
        store("WindowWidth", text(600 * tx));
        store("WindowHeight", text(400 * ty));
        frmPrint& frm = windows().frm();
        EXPECT_FLOAT_EQ(frm.Top(), c.expectedTop);
        EXPECT_FLOAT_EQ(frm.Left(), c.expectedLeft);
        EXPECT_FLOAT_EQ(frm.Width(), 600 * tx);
        EXPECT_FLOAT_EQ(frm.Height(), 400 * ty);
        windows().unloadFrm();
    }
}

TEST_F(PlacementTest, NonNumericSizeGivesThePlatformMinimum) {
    store("WindowWidth", "wide");
    store("WindowHeight", "high");
    frmPrint& frm = windows().frm();
    EXPECT_GT(frm.Width(), 0);
    EXPECT_GT(frm.Height(), 0);
    EXPECT_FLOAT_EQ(frm.Width(), frm.minimumWidth() * TwipsPerPixelX());
    EXPECT_FLOAT_EQ(frm.Height(), frm.minimumHeight() * TwipsPerPixelY());
}

TEST_F(PlacementTest, ResizingAndMovingStoreTheOuterMeasures) {
    frmPrint& frm = windows().frm();
    frm.show();
    settle();
    frm.setWidth(7200);
    frm.setHeight(5400);
    settle();
    EXPECT_EQ(stored("WindowWidth"), text(frm.Width()));
    EXPECT_EQ(stored("WindowHeight"), text(frm.Height()));
    EXPECT_FLOAT_EQ(frm.Width(), 7200);
    EXPECT_FLOAT_EQ(frm.Height(), 5400);

    frm.setTop(300);
    frm.setLeft(450);
    settle();
    EXPECT_EQ(stored("WindowTop"), "300");
    EXPECT_EQ(stored("WindowLeft"), "450");
}

// The frame is stored as it is read: the next run must not grow by its title bar.
TEST_F(PlacementTest, ShownPlacementSurvivesUnloadAndLoadUnchanged) {
    for (int run = 0; run < 3; ++run) {
        frmPrint& frm = windows().frm();
        frm.show();
        settle();
        const Placement before = placementOf(frm);
        windows().unloadFrm();
        frmPrint& again = windows().frm();
        expectSamePlacement(placementOf(again), before);
        again.show();
        settle();
        expectSamePlacement(placementOf(again), before);
        windows().unloadFrm();
    }
}

TEST_F(PlacementTest, MaximisedOrMinimisedWindowKeepsTheStoredPlacement) {
    frmPrint& frm = windows().frm();
    frm.show();
    frm.setWidth(6000);
    settle();
    const QString width = stored("WindowWidth");
    const QString height = stored("WindowHeight");
    for (int state : {2, 1}) {
        SCOPED_TRACE(state);
        frm.setWindowState(state);
        settle();
        EXPECT_EQ(frm.WindowState(), state);
        EXPECT_EQ(stored("WindowWidth"), width);
        EXPECT_EQ(stored("WindowHeight"), height);
        frm.setWindowState(0);
        settle();
    }
    EXPECT_EQ(frm.WindowState(), 0);
}

TEST_F(PlacementTest, WindowStateOutsideTheThreeCodesIsRefused) {
    frmPrint& frm = windows().frm();
    for (int state : {-1, 3}) {
        try {
            frm.setWindowState(state);
            ADD_FAILURE() << "state " << state << " accepted";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), 380);
        }
    }
}

TEST_F(PlacementTest, NothingIsStoredWhileTheLoadHandlerPlacesTheWindow) {
    frmPrint& frm = windows().frm();
    frm.show();
    settle();
    store("WindowWidth", "1234");
    frm.Resizing = true;
    frm.setWidth(6000);
    settle();
    EXPECT_EQ(stored("WindowWidth"), "1234");
    frm.Resizing = false;
}

TEST_F(PlacementTest, ResizeRecomputesTheScreenPageGeometry) {
    frmPrint& frm = windows().frm();
    frm.show();
    settle();
    geometry().PageWidthScreen = geometry().PageHeightScreen = -1;
    frm.setHeight(frm.Height() - 300);
    settle();
    const float borders = frm.Height() - frm.ScaleHeight();
    EXPECT_GT(borders, 0);  // menu and status bar
    EXPECT_EQ(geometry().PageHeightScreen,
              std::lround(geometry().LinesPerPage * frm.TextHeight("A") + 1600 + borders));
    EXPECT_GT(geometry().PageWidthScreen, 0);
    // With no question open the resize leaves the confirmation window unloaded.
    EXPECT_FALSE(windows().okLoaded());
}

TEST_F(PlacementTest, ResizeHandlerReportsAnOverflowAndKeepsRunning) {
    frmPrint& frm = windows().frm();
    frm.show();
    settle();
    geometry().LeftSpacing = INT32_MAX;
    geometry().PageWidthScreen = 4242;
    testing::internal::CaptureStderr();
    frm.setWidth(frm.Width() - 300);
    settle();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("error 6"), std::string::npos) << errors;
    EXPECT_EQ(geometry().PageWidthScreen, 4242);
    EXPECT_EQ(stored("WindowWidth"), text(frm.Width()));
}

}  // namespace
}  // namespace zel
