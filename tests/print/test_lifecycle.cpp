// Creation, Reset, release and the output settings, against the recording printer.
#include <QGuiApplication>
#include <QPalette>
#include <QSignalSpy>

#include "print/SystemColours.h"
#include "test_compose_fixture.h"

namespace zel::testing {
namespace {

using LifecycleTest = PrintObjectTest;

TEST_F(LifecycleTest, NewObjectStartsWithNoPageAndDefaults) {
    EXPECT_EQ(print_->CurrentPage, 0);
    EXPECT_EQ(print_->CurrentLine, -1);
    EXPECT_EQ(print_->StartLine, 1);
    EXPECT_FALSE(print_->AnnulerenPressed);
    EXPECT_TRUE(print_->GetResult());
    EXPECT_EQ(print_->UitvoerMode().toString(), "S");
    EXPECT_EQ(geometry().LeftSpacing, 800);
    EXPECT_EQ(print_->PrintFontName().toString(), "Courier New");
    EXPECT_EQ(printer_->FontName(), "Courier New");
    EXPECT_FLOAT_EQ(printer_->FontSize(), 6);
    // The grid follows the printer's cell and the margins.
    EXPECT_EQ(geometry().PositionsPerLine, int((11906 - 1600) / 120));
    EXPECT_EQ(geometry().LinesPerPage, int((16838 - 1600) / 240));
    // The window is loaded, hidden, with the look of the default set, when the screen is first
    // used; a report on the printer alone never loads it.
    EXPECT_FALSE(windows().frmLoaded());
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("scherm"));
    ASSERT_TRUE(windows().frmLoaded());
    EXPECT_FALSE(windows().frm().isVisible());
    EXPECT_EQ(windows().frm().FontName(), "Terminal");
    EXPECT_FLOAT_EQ(windows().frm().FontSize(), 6);
    EXPECT_GT(geometry().PageWidthScreen, 0);
}

TEST_F(LifecycleTest, ResetNumbersTheNextPageTwoAndKeepsOrSetsTheMode) {
    print_->SetMode(Variant("PS"));
    EXPECT_TRUE(print_->Reset().isEmpty());
    EXPECT_EQ(print_->CurrentPage, 1);
    EXPECT_EQ(print_->UitvoerMode().toString(), "PS");
    EXPECT_FALSE(print_->HorLinesOn());

    print_->Reset(Variant("P"), true, true);
    EXPECT_EQ(print_->UitvoerMode().toString(), "P");
    EXPECT_TRUE(print_->HorLinesOn());
    EXPECT_TRUE(print_->CrossLinesOn());
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("x"));
    EXPECT_EQ(print_->CurrentPage, 2);
}

TEST_F(LifecycleTest, ResetEndsAJobWhoseSheetHoldsOnlyAFilledBox) {
    print_->SetMode(Variant("P"));
    print_->AddBox(Variant::Integer(1), Variant::Integer(1), Variant::Integer(3),
                   Variant::Integer(5), kMissing, true);
    ASSERT_TRUE(printer_->jobOpen());
    print_->Reset();
    EXPECT_EQ(printer_->jobsEnded(), 1);
    EXPECT_FALSE(printer_->jobOpen());
}

TEST_F(LifecycleTest, ReleaseActsByMode) {
    struct Case {
        const char* mode;
        bool endsJob;
        bool unloadsWindow;
    };
    for (const Case& c : {Case{"S", false, true}, Case{"p", true, false}, Case{"PS", true, true},
                          Case{"F", false, false}}) {
        SCOPED_TRACE(c.mode);
        print_->SetMode(Variant(c.mode));
        const int ended = printer_->jobsEnded();
        printer_->setCurrentY(10);
        printer_->Print("x", false);  // an open job
        windows().frm();              // a loaded window
        print_.reset();
        EXPECT_EQ(printer_->jobsEnded() - ended, c.endsJob ? 1 : 0);
        EXPECT_EQ(windows().frmLoaded(), !c.unloadsWindow);
        print_ = std::make_unique<clsPrint>(context_);
    }
}

TEST_F(LifecycleTest, ReleaseIgnoresPrinterErrors) {
    print_->SetMode(Variant("P"));
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("x"));
    printer_->failPrint(true);
    EXPECT_NO_THROW(print_.reset());
}

TEST_F(LifecycleTest, NamedDefaultsApplyMarginsFontsAndKeepBold) {
    print_->SetDefault(Variant("terminal7b"));
    EXPECT_EQ(geometry().LeftSpacing, 400);
    EXPECT_EQ(geometry().BottomSpacing, 400);
    EXPECT_FLOAT_EQ(printer_->FontSize(), 7);
    EXPECT_TRUE(printer_->FontBold());
    EXPECT_TRUE(windows().frm().FontBold());

    print_->SetDefault(Variant("Terminal"));
    EXPECT_EQ(geometry().LeftSpacing, 800);
    EXPECT_FLOAT_EQ(printer_->FontSize(), 6);
    EXPECT_TRUE(printer_->FontBold());
    EXPECT_TRUE(windows().frm().FontBold());

    // Any other name only recomputes the grid.
    geometry().LeftSpacing = 100;
    print_->SetDefault(Variant("Other"));
    EXPECT_EQ(geometry().LeftSpacing, 100);
    EXPECT_EQ(geometry().PositionsPerLine, int((11906 - 900) / 120));
}

TEST_F(LifecycleTest, SetParmStoresSlotsOrRaisesMelding) {
    QSignalSpy melding(print_.get(), &clsPrint::Melding);
    print_->SetParm(Variant(), Variant(" nul "));
    EXPECT_EQ(print_->Parm(0).toString(), " nul ");
    print_->SetParm(Variant::Double(8.5), Variant("acht"));  // halves go to the even slot
    EXPECT_EQ(print_->Parm(8).toString(), "acht");
    EXPECT_TRUE(melding.isEmpty());

    for (const Variant& bad : {Variant::Integer(10), Variant::Integer(-1)}) {
        print_->SetParm(bad, Variant("x"));
        ASSERT_FALSE(melding.isEmpty());
        const QList<QVariant> args = melding.takeFirst();
        EXPECT_EQ(args.at(0).toInt(), 80);
        EXPECT_EQ(args.at(1).toString(), "Parameternummer fout: " + bad.toString());
    }
    EXPECT_EQ(errorOf([&] { print_->SetParm(Variant::Double(9.5), Variant("x")); }), 9);
    EXPECT_EQ(errorOf([&] { print_->SetParm(Variant::Null(), Variant("x")); }), 94);
}

TEST_F(LifecycleTest, PrintBackColorPaintsTheSheetsBackground) {
    const QStringList calls = callsAfter([&] { print_->letPrintBackColor(Variant::Long(255)); });
    EXPECT_EQ(calls, QStringList({"setFillColor(255)", "PaintBackground(255)"}));
}

TEST_F(LifecycleTest, PropertiesStoreBeforeApplyingAndFontsRecomputeTheGrid) {
    print_->letPrintFontSize(Variant::Integer(12));
    EXPECT_FLOAT_EQ(printer_->FontSize(), 12);
    EXPECT_EQ(errorOf([&] { print_->letPrintForeColor(Variant("rood")); }), 13);
    EXPECT_EQ(print_->PrintForeColor().toString(), "rood");
    EXPECT_EQ(errorOf([&] { print_->letPrintBackColor(Variant::Long(-1)); }), 380);
    const Variant one = Variant::Integer(1);
    EXPECT_EQ(errorOf([&] { print_->AddKopregel(one, one, Variant("k"), Variant::Long(-1)); }),
              380);
    // A system colour ("button face") takes the desktop palette's colour.
    print_->letScreenBackColor(Variant::Long(int32_t(0x8000000F)));
    const QColor face = QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
    EXPECT_EQ(windows().frm().BackColor(), face.red() | face.green() << 8 | face.blue() << 16);
    EXPECT_EQ(errorOf([&] { print_->letPrintFontName(Variant("No Such Font Anywhere")); }), 380);
    EXPECT_EQ(print_->PrintFontName().toString(), "No Such Font Anywhere");

    const int32_t pageWidth = geometry().PageWidthScreen;
    geometry().LeftSpacing = 2000;  // takes effect only at the next recomputation
    print_->letPrintFontSize(Variant::Integer(6));
    EXPECT_EQ(geometry().PositionsPerLine, int((11906 - 2800) / 120));
    EXPECT_EQ(geometry().PageWidthScreen, pageWidth);
}

// A program with a GUI application prints the system colours of its palette, as the desktop
// changes it; one without (a job in mode "P") those of Qt's standard palette, which is what the
// offscreen platform gives this test.
TEST(SystemColours, DesktopPaletteWithAGuiApplicationStandardWithout) {
    const auto systemColour = [](int element) {
        return RgbColour(Variant::Long(int32_t(0x80000000u + uint32_t(element))));
    };
    for (int element = 0; element <= 30; ++element) {
        if (element != 25) {
            EXPECT_EQ(systemColour(element), standardColour(element)) << element;
        }
    }
    const QPalette before = QGuiApplication::palette();
    QPalette changed = before;
    changed.setColor(QPalette::Button, Qt::red);
    QGuiApplication::setPalette(changed);
    EXPECT_EQ(systemColour(15), 0x0000FF) << "button face";
    QGuiApplication::setPalette(before);
}

TEST_F(LifecycleTest, SpacingChangesOriginsButNotTheGridUntilRecomputed) {
    const int32_t lines = geometry().LinesPerPage;
    print_->Spacing(kMissing, kMissing, Variant::Double(1000.5), Variant("2000"));
    EXPECT_EQ(geometry().TopSpacing, 1000);
    EXPECT_EQ(geometry().BottomSpacing, 2000);
    EXPECT_EQ(geometry().LeftSpacing, 800);
    EXPECT_EQ(geometry().LinesPerPage, lines);
    print_->Reset();
    EXPECT_EQ(geometry().LinesPerPage, int((16838 - 3000) / 240));
}

TEST_F(LifecycleTest, GeometryFailsOnOverflowingMarginsAndKeepsItsValues) {
    const int32_t positions = geometry().PositionsPerLine;
    geometry().LeftSpacing = INT32_MAX;
    geometry().RightSpacing = 1;
    EXPECT_EQ(errorOf([this] { geometry().CalcPrinterMetrics(printer()); }), 6);
    EXPECT_EQ(geometry().PositionsPerLine, positions);
    // SetOrientation swallows the same failure and still sets colour mode 2.
    print_->letPrintColorMode(Variant::Integer(1));
    EXPECT_NO_THROW(print_->SetOrientation(Variant::Integer(2)));
    EXPECT_EQ(printer_->ColorMode(), 2);
    geometry().LeftSpacing = 800;
    geometry().RightSpacing = 800;
}

TEST_F(LifecycleTest, SetOrientationWithOutputEndsTheJobAndTurnsTheNextSheet) {
    print_->SetMode(Variant("P"));
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("staand"));
    print_->SetOrientation(Variant::Integer(2));
    EXPECT_EQ(printer_->jobsEnded(), 1);  // the page printed so far is kept
    EXPECT_EQ(printer_->jobsKilled(), 0);
    EXPECT_EQ(printer_->Orientation(), 2);
    EXPECT_GT(geometry().PositionsPerLine, geometry().LinesPerPage);
    // A code the printer refuses changes nothing and reports nothing.
    EXPECT_NO_THROW(print_->SetOrientation(Variant::Integer(7)));
    EXPECT_EQ(printer_->Orientation(), 2);
}

// A destination that drops the job and reports it when the job is ended.
class RefusingDestinationPrinter : public RecordingPrinterSurface {
public:
    bool refusing = false;
    void EndDoc() override {
        RecordingPrinterSurface::EndDoc();
        if (refusing) throw VbError(482);
    }
};

TEST_F(LifecycleTest, SetOrientationTurnsThePageAndReportsAJobThatWasLost) {
    auto refusing = std::make_unique<RefusingDestinationPrinter>();
    RefusingDestinationPrinter& destination = *refusing;
    printer_ = refusing.get();
    print_ = std::make_unique<clsPrint>(std::make_shared<PrintContext>(std::move(refusing)));
    destination.refusing = true;
    print_->SetMode(Variant("F"));  // the release must not end the job a second time
    printer_->setCurrentY(0);
    printer_->Print("staand", true);
    EXPECT_EQ(errorOf([&] { print_->SetOrientation(Variant::Integer(2)); }), 482);
    EXPECT_EQ(printer_->Orientation(), 2);
    EXPECT_EQ(printer_->ColorMode(), 2);
}

}  // namespace
}  // namespace zel::testing
