#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "WindowsFixture.h"
#include "surface/DrawingSurface.h"
#include "surface/PrinterDestination.h"
#include "windows/ScreenUnits.h"

namespace zel {
namespace {

using MainWindowTest = WindowsTest;

constexpr int32_t Red = 0x0000FF;
constexpr int32_t Green = 0x00FF00;

// The colour of a backing-image pixel as 0x00BBGGRR.
int32_t vbColourAt(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16;
}

// A red box from pixel 10,10 to 40,40.
void drawRedBox(frmPrint& frm) {
    frm.Line(LineStart | LineColour | LineFilledBox, 10 * TwipsPerPixelX(), 10 * TwipsPerPixelY(),
             40 * TwipsPerPixelX(), 40 * TwipsPerPixelY(), Red);
}

TEST_F(MainWindowTest, CaptionMenuAndStatusBarAreThoseOfTheSystem) {
    frmPrint& frm = windows().frm();
    EXPECT_EQ(frm.windowTitle(), "Afdrukken");
    const QList<QAction*> menus = frm.menuBar()->actions();
    ASSERT_EQ(menus.size(), 1);
    EXPECT_EQ(menus[0]->text(), "Printer");
    EXPECT_EQ(menus[0]->menu()->objectName(), "mnuPrinter");
    const QList<QAction*> items = menus[0]->menu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0], frm.mnuSelecteerPrinter());
    EXPECT_EQ(items[0]->text(), "Selecteer Printer");
    EXPECT_TRUE(items[0]->isEnabled());
    EXPECT_EQ(items[1], frm.mnuActiveer());
    EXPECT_EQ(items[1]->text(), "Toon 'OK' scherm");
    EXPECT_FALSE(items[1]->isEnabled());
    EXPECT_EQ(frm.stbPrint()->objectName(), "stbPrint");
    EXPECT_EQ(frm.stbPrintPanel()->parentWidget(), frm.stbPrint());
}

TEST_F(MainWindowTest, FlagsStartFalseOnEveryLoad) {
    for (int load = 0; load < 2; ++load) {
        EXPECT_FALSE(windows().frmLoaded());
        frmPrint& frm = windows().frm();
        EXPECT_TRUE(windows().frmLoaded());
        EXPECT_EQ(&windows().frm(), &frm);
        EXPECT_FALSE(frm.Tekenen);
        EXPECT_FALSE(frm.Annuleer);
        EXPECT_FALSE(frm.Resizing);
        EXPECT_FALSE(frm.OkCancel);
        EXPECT_FALSE(frm.waiting());
        frm.Tekenen = frm.Annuleer = frm.OkCancel = true;
        windows().unloadFrm();
    }
}

TEST_F(MainWindowTest, ToonOkSchermEndsTheWaitWhileARedrawIsAsked) {
    frmPrint& frm = windows().frm();
    frm.Tekenen = true;
    frm.OkCancel = true;
    frm.mnuActiveer()->setEnabled(true);
    frm.mnuActiveer()->trigger();
    EXPECT_FALSE(frm.OkCancel);
    EXPECT_TRUE(frm.Tekenen);
}

TEST_F(MainWindowTest, ClosingHidesTheWindowAndKeepsItLoaded) {
    frmPrint& frm = windows().frm();
    frm.show();
    settle();
    EXPECT_TRUE(frm.close());
    settle();
    EXPECT_TRUE(windows().frmLoaded());
    EXPECT_FALSE(frm.isVisible());
}

// The page geometry is computed while the window is still hidden: its drawing area must already
// be the client area without the menu and status bar, as it is once shown.
TEST_F(MainWindowTest, DrawingAreaIsTheClientAreaWithoutTheBarsHiddenOrShown) {
    frmPrint& frm = windows().frm();
    for (bool shown : {false, true}) {
        SCOPED_TRACE(shown);
        if (shown) frm.show();
        settle();
        const int bars = frm.menuBar()->height() + frm.stbPrint()->height();
        EXPECT_GT(bars, 0);
        EXPECT_FLOAT_EQ(frm.ScaleWidth(), frm.width() * TwipsPerPixelX());
        EXPECT_FLOAT_EQ(frm.ScaleHeight(), (frm.height() - bars) * TwipsPerPixelY());
    }
}

TEST_F(MainWindowTest, DrawnPageSurvivesHidingShowingAndWaiting) {
    frmPrint& frm = windows().frm();
    frm.show();
    settle();
    drawRedBox(frm);
    EXPECT_EQ(vbColourAt(frm.image(), 25, 25), Red);
    frm.hide();
    settle();
    frm.show();
    frm.setWaiting(true);
    frm.refreshWaiting();
    settle();
    EXPECT_EQ(vbColourAt(frm.image(), 25, 25), Red);
    // What the screen shows is painted from the backing image.
    const QImage shown = frm.centralWidget()->grab().toImage();
    EXPECT_EQ(vbColourAt(shown, 25, 25), Red);
    EXPECT_EQ(vbColourAt(shown, 60, 60), frm.BackColor());
    // Waiting leaves the menu usable; only the drawing area takes no input.
    EXPECT_TRUE(frm.waiting());
    EXPECT_TRUE(frm.menuBar()->isEnabled());
    EXPECT_TRUE(frm.mnuSelecteerPrinter()->isEnabled());
    EXPECT_FALSE(frm.centralWidget()->isEnabled());
    frm.setWaiting(false);
    EXPECT_TRUE(frm.centralWidget()->isEnabled());
}

TEST_F(MainWindowTest, ClsFillsWithBackColorAndReturnsToTheOrigin) {
    frmPrint& frm = windows().frm();
    frm.setBackColor(Green);
    drawRedBox(frm);
    frm.setCurrentX(500);
    frm.setCurrentY(700);
    frm.Cls();
    const QImage& image = frm.image();
    for (QPoint p : {QPoint(25, 25), QPoint(0, 0), QPoint(image.width() - 1, image.height() - 1)})
        EXPECT_EQ(vbColourAt(image, p.x(), p.y()), Green) << p.x() << "," << p.y();
    EXPECT_FLOAT_EQ(frm.CurrentX(), frm.ScaleLeft());
    EXPECT_FLOAT_EQ(frm.CurrentY(), frm.ScaleTop());
}

// A page waiting for its confirmation stays whole when the window is made smaller and then
// larger again; the drawing area's measures follow the window all the while.
TEST_F(MainWindowTest, ResizingTheWindowKeepsWhatWasDrawn) {
    frmPrint& frm = windows().frm();
    frm.show();
    settle();
    QWidget& area = *frm.centralWidget();
    const QPoint corner(area.width() - 20, area.height() - 20);
    frm.Line(LineStart | LineColour | LineFilledBox, (corner.x() - 10) * TwipsPerPixelX(),
             (corner.y() - 10) * TwipsPerPixelY(), (corner.x() + 10) * TwipsPerPixelX(),
             (corner.y() + 10) * TwipsPerPixelY(), Red);
    drawRedBox(frm);
    const float width = frm.Width();
    const float height = frm.Height();
    for (const float grow : {-3000.0f, 0.0f, 1500.0f}) {
        SCOPED_TRACE(grow);
        frm.setWidth(width + grow);
        frm.setHeight(height + grow);
        settle();
        EXPECT_EQ(vbColourAt(frm.image(), 25, 25), Red);
        EXPECT_EQ(vbColourAt(frm.image(), corner.x(), corner.y()), Red);
        EXPECT_FLOAT_EQ(frm.ScaleWidth(), area.width() * TwipsPerPixelX());
        EXPECT_FLOAT_EQ(frm.ScaleHeight(), area.height() * TwipsPerPixelY());
    }
    EXPECT_EQ(vbColourAt(area.grab().toImage(), corner.x(), corner.y()), Red);
}

// A client's release can unload the window while the user has its printer dialog open (the
// dialog's event loop delivers the call): the dialog ends as cancelled and nothing is freed twice.
TEST_F(MainWindowTest, UnloadWhileThePrinterDialogIsOpenEndsTheDialog) {
    const QString chosenBefore = chosenDestination();
    installAnswerer([this](QWidget*) { windows().unloadFrm(); });
    windows().frm().mnuSelecteerPrinter()->trigger();
    EXPECT_FALSE(windows().frmLoaded());
    settle();
    EXPECT_EQ(chosenDestination(), chosenBefore);
    frmPrint& again = windows().frm();
    EXPECT_FALSE(again.OkCancel);
    EXPECT_TRUE(windows().frmLoaded());
}

}  // namespace
}  // namespace zel
