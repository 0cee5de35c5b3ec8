#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <QTest>

#include "WindowsFixture.h"
#include "variant/Variant.h"
#include "windows/ScreenUnits.h"

namespace zel {
namespace {

// frmOk keeps its placement apart from frmPrint's, under the title followed by "Ok".
class ConfirmationPlacementTest : public WindowsTest {
protected:
    static QString storedOk(const char* key) {
        return GetSetting(AppTitle() + "Ok", "Main", key, "absent");
    }
    static void storeOk(const char* key, float twips) {
        SaveSetting(AppTitle() + "Ok", "Main", key, Variant::Single(twips).toString());
    }
    // Shows the window and answers "Ja", which unloads it and stores the placement.
    void showAndAnswer(const std::function<void(frmOk&)>& meanwhile) {
        frmOk& ok = windows().ok();
        ok.ShowNonModal();
        settle();
        meanwhile(ok);
        settle();
        QTest::mouseClick(ok.cmdOk(), Qt::LeftButton);
        settle();
    }
};

// A fifth of the screen wide, or wider where the title bar needs it to show the whole title
// (a fifth of a 1024-pixel screen cut it to "Afdruk...stigen").
TEST_F(ConfirmationPlacementTest, FirstUseIsLowOnTheScreenAndCentred) {
    frmOk& ok = windows().ok();
    const float width = ok.FirstUseWidth();
    EXPECT_GE(width, ScreenWidth() * 0.2f);
    QFont bold = QApplication::font(&ok);
    bold.setBold(true);
    EXPECT_GT(width, QFontMetrics(bold).horizontalAdvance(ok.windowTitle()) * TwipsPerPixelX());
    // Within one pixel: the window measures whole pixels.
    EXPECT_NEAR(ok.Height(), ScreenHeight() * 0.15f, TwipsPerPixelY());
    EXPECT_NEAR(ok.Width(), width, TwipsPerPixelX());
    EXPECT_NEAR(ok.Top(), ScreenHeight() * 0.8f, TwipsPerPixelY());
    EXPECT_NEAR(ok.Left(), (ScreenWidth() - width) / 2, TwipsPerPixelX());
    // Showing it keeps the outer size, frame included.
    const QRect before = ok.frameGeometry();
    ok.ShowNonModal();
    settle();
    EXPECT_EQ(ok.frameGeometry().size(), before.size());
    // The main window's placement is a different one.
    EXPECT_EQ(stored("WindowWidth"), "absent");
}

struct Placement {
    float top, left, width, height;
};

Placement placementOf(const frmOk& ok) {
    return {ok.Top(), ok.Left(), ok.Width(), ok.Height()};
}

void place(frmOk& ok, const Placement& p) {
    ok.setHeight(p.height);
    ok.setWidth(p.width);
    ok.setTop(p.top);
    ok.setLeft(p.left);
}

TEST_F(ConfirmationPlacementTest, AnsweringStoresThePlacementTheNextShowingRestores) {
    const float tx = TwipsPerPixelX();
    const float ty = TwipsPerPixelY();
    const Placement moved{90 * ty, 120 * tx, 330 * tx, 150 * ty};
    showAndAnswer([&](frmOk& ok) { place(ok, moved); });
    EXPECT_EQ(storedOk("WindowTop"), Variant::Single(moved.top).toString());
    EXPECT_EQ(storedOk("WindowLeft"), Variant::Single(moved.left).toString());
    EXPECT_EQ(storedOk("WindowWidth"), Variant::Single(moved.width).toString());
    EXPECT_EQ(storedOk("WindowHeight"), Variant::Single(moved.height).toString());

    // Restored hidden, and again once shown (the frame does not make it grow).
    frmOk& again = windows().ok();
    for (int shown = 0; shown < 2; ++shown) {
        SCOPED_TRACE(shown);
        const Placement restored = placementOf(again);
        EXPECT_FLOAT_EQ(restored.top, moved.top);
        EXPECT_FLOAT_EQ(restored.left, moved.left);
        EXPECT_FLOAT_EQ(restored.width, moved.width);
        EXPECT_FLOAT_EQ(restored.height, moved.height);
        again.ShowNonModal();
        settle();
    }
}

// A maximised window answers without storing; its last normal placement stays.
TEST_F(ConfirmationPlacementTest, AnsweringWhileMaximisedKeepsTheStoredPlacement) {
    const Placement kept{600, 900, 4000, 2000};
    storeOk("WindowTop", kept.top);
    storeOk("WindowLeft", kept.left);
    storeOk("WindowWidth", kept.width);
    storeOk("WindowHeight", kept.height);
    showAndAnswer([](frmOk& ok) {
        ok.showMaximized();
        ASSERT_EQ(ok.WindowState(), 2);
    });
    EXPECT_EQ(storedOk("WindowTop"), "600");
    EXPECT_EQ(storedOk("WindowLeft"), "900");
    EXPECT_EQ(storedOk("WindowWidth"), "4000");
    EXPECT_EQ(storedOk("WindowHeight"), "2000");
}

// A stored size in which the buttons cannot show their captions would leave a question nobody
// can answer: the first-use size applies; the stored place stays.
TEST_F(ConfirmationPlacementTest, AStoredSizeTooSmallForTheQuestionFallsBackToTheFirstUseSize) {
    storeOk("WindowTop", 600);
    storeOk("WindowLeft", 900);
    storeOk("WindowWidth", 15);
    storeOk("WindowHeight", 15);
    frmOk& ok = windows().ok();
    EXPECT_NEAR(ok.Width(), ok.FirstUseWidth(), TwipsPerPixelX());
    EXPECT_NEAR(ok.Height(), ScreenHeight() * 0.15f, TwipsPerPixelY());
    EXPECT_FLOAT_EQ(ok.Top(), 600);
    EXPECT_FLOAT_EQ(ok.Left(), 900);
}

TEST_F(ConfirmationPlacementTest, AStoredTextWithoutANumberReadsZero) {
    SaveSetting(AppTitle() + "Ok", "Main", "WindowTop", "boven");
    SaveSetting(AppTitle() + "Ok", "Main", "WindowLeft", "links");
    frmOk& ok = windows().ok();
    EXPECT_FLOAT_EQ(ok.Top(), 0);
    EXPECT_FLOAT_EQ(ok.Left(), 0);
    EXPECT_NEAR(ok.Width(), ok.FirstUseWidth(), TwipsPerPixelX());
}

}  // namespace
}  // namespace zel
