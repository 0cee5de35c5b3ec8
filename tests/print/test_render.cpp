// Page start and redraw: the printer's page change, the header replay and its result, the
// body replay on the screen, and UitvoerMode given back however a replay ends.
#include <QPushButton>
#include <QTimer>
#include <deque>

#include "test_compose_fixture.h"

namespace zel::testing {
namespace {

using PageRender = PrintObjectTest;

// Answers each confirmation as it is shown: true asks for a redraw (what a scroll bar does),
// false presses "Ja".
class ConfirmationAnswers {
public:
    ConfirmationAnswers(PrintWindows& windows, std::deque<bool> redraws)
        : windows_(windows), redraws_(std::move(redraws)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start(10);
    }
    bool allGiven() const { return redraws_.empty(); }

private:
    void answer() {
        if (redraws_.empty() || !windows_.okLoaded() || !windows_.frm().OkCancel) return;
        const bool redraw = redraws_.front();
        redraws_.pop_front();
        if (!redraw) {
            windows_.ok().cmdOk()->click();
            return;
        }
        frmPrint& frm = windows_.frm();
        frm.Tekenen = true;
        frm.Annuleer = false;
        frm.OkCancel = false;
    }

    PrintWindows& windows_;
    std::deque<bool> redraws_;
    QTimer timer_;
};

TEST_F(PageRender, HeaderResultIsItsHighestLineRoundedHalfToEven) {
    struct Case {
        std::vector<double> lines;
        int32_t expected;
    };
    const Case cases[] = {{{}, 0}, {{1, 3, 2.5}, 3}, {{1, 2.5}, 2}, {{3.5}, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        print_->Cls();
        print_->SetMode(Variant("P"));
        print_->ClearKopregels();
        for (double line : c.lines) {
            print_->AddKopregel(Variant::Double(line), Variant::Integer(1), Variant("k"));
        }
        print_->AddTekst(Variant::Integer(10), Variant::Integer(1), Variant("body"));
        EXPECT_EQ(print_->CurrentLine, c.expected);
    }
}

TEST_F(PageRender, HeaderRepeatsOnANewSheetWithTheCurrentPageNumber) {
    print_->SetMode(Variant("P"));
    print_->ClearKopregels();
    print_->AddKopregel(Variant::Integer(1), Variant::Integer(70), Variant("Blad #B"));
    print_->AddKopregelBox(Variant::Integer(2), Variant::Integer(4), Variant::Integer(1),
                           Variant::Integer(80));
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("body"));
    EXPECT_TRUE(print_->NieuwBlad(Variant::Integer(2)));
    printer_->clearCalls();
    print_->AddTekst(Variant::Integer(2), Variant::Integer(1), Variant("next"));

    const QStringList calls = printer_->calls();
    ASSERT_GE(calls.size(), 4);
    EXPECT_EQ(calls.mid(0, 3), (QStringList{"NewPage()", "setCurrentX(0)", "setCurrentY(0)"}));
    EXPECT_EQ(printer_->callsOf("Print"),
              (QStringList{"Print(Blad   2,true)", "Print(next,true)"}));
    EXPECT_TRUE(calls.contains("setCurrentX(9080)")) << "position 70";
    EXPECT_TRUE(calls.contains("Line(22,800,1040,10280,1520,0)")) << "lines 2 to 4, 1 to 80";
    EXPECT_EQ(print_->CurrentLine, 2);
    EXPECT_EQ(print_->UitvoerMode().toString(), "P");
}

TEST_F(PageRender, OnlyASheetWithOutputIsChanged) {
    print_->SetMode(Variant("P"));
    print_->HorLines();  // page 1 on the unused sheet
    EXPECT_TRUE(printer_->callsOf("NewPage").isEmpty());

    // The frame gave the position back, yet the sheet holds output and must not be reused.
    EXPECT_TRUE(print_->NieuwBlad(Variant::Integer(1)));
    printer_->failNewPage(true);
    printer_->clearCalls();
    EXPECT_NO_THROW(print_->Watermerk(Variant("W")));
    EXPECT_EQ(printer_->calls().mid(0, 3),
              (QStringList{"NewPage()", "setCurrentX(0)", "setCurrentY(0)"}))
        << "a refused page change is passed over";
    EXPECT_EQ(print_->CurrentPage, 2);
}

TEST_F(PageRender, CountBeyondTheHeaderRecordsFailsOnlyWhenReplayed) {
    print_->SetMode(Variant("P"));
    print_->ClearKopregels();
    print_->AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant("kop"));
    print_->MaxKopregel = Variant::Integer(3);
    EXPECT_EQ(errorOf([&] {
                  print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("body"));
              }),
              9);
    EXPECT_EQ(printer_->callsOf("Print"), QStringList{"Print(kop,true)"});
    EXPECT_EQ(print_->UitvoerMode().toString(), "P");
}

// The frame and diagonals are one pixel wide, in copy mode and the report's text colour,
// whatever the element before them left on the surface; that is given back afterwards.
TEST_F(PageRender, GridOnEveryPrinterPageFollowsTheMarginsAndOrientation) {
    print_->Spacing(Variant::Integer(100), Variant::Integer(200), Variant::Integer(300),
                    Variant::Integer(400));
    for (int orientation : {1, 2}) {
        SCOPED_TRACE(orientation);
        printer_->EndDoc();
        printer_->setOrientation(int16_t(orientation));
        print_->Reset(Variant("P"), true, true);
        printer_->setCurrentX(55);
        printer_->setCurrentY(66);
        printer_->setDrawWidth(8);  // as a thick line left it
        printer_->setForeColor(0x0000FF);
        printer_->clearCalls();
        print_->AddTekst(Variant::Integer(1), Variant::Integer(0), Variant::Integer(0), kMissing,
                         kMissing, true);
        const QString w = QString::number(printer_->ScaleWidth());
        const QString h = QString::number(printer_->ScaleHeight());
        const QString bottom = QString::number(printer_->ScaleHeight() - 400);
        const QString right = QString::number(printer_->ScaleWidth() - 200);
        const QStringList pen = {"setDrawWidth(1)", "setDrawMode(13)"};
        const QStringList given = {"setDrawWidth(8)", "setDrawMode(13)", "setCurrentX(55)",
                                   "setCurrentY(66)"};
        const QStringList expected = pen +
                                     QStringList{
                                         "Line(6,0,300," + w + ",300,0)",
                                         "Line(6,0," + bottom + "," + w + "," + bottom + ",0)",
                                         "Line(6,100,0,100," + h + ",0)",
                                         "Line(6," + right + ",0," + right + "," + h + ",0)",
                                     } +
                                     given + pen +
                                     QStringList{
                                         "Line(6,0,0," + w + "," + h + ",0)",
                                         "Line(6," + w + ",0,0," + h + ",0)",
                                     } +
                                     given;
        EXPECT_EQ(printer_->calls().mid(0, expected.size()), expected);
    }
}

TEST_F(PageRender, ScreenFrameMarksThePageForItsRedraw) {
    print_->SetMode(Variant("S"));
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("a"));
    print_->HorLines();
    EXPECT_EQ(print_->Detailregels().at(0).HorLinesOn, -1);
    EXPECT_EQ(print_->Detailregels().at(0).CrossLinesOn, 0);
    print_->CrossLines();
    EXPECT_EQ(print_->Detailregels().at(0).CrossLinesOn, -1);
    EXPECT_FALSE(print_->HorLinesOn()) << "the object's switches stay as Reset left them";
    EXPECT_FALSE(print_->CrossLinesOn());
}

// A page of "PS" under confirmation, with a header on line 1 and two body texts.
class PageRedraw : public PageRender {
protected:
    void SetUp() override {
        PageRender::SetUp();
        print_->SetMode(Variant("PS"));
        print_->ClearKopregels();
        print_->AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant("Blad #B"));
        print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("een"));
        print_->AddTekst(Variant::Integer(2), Variant::Integer(1), Variant("twee"));
        print_->HorLines();
        printer_->clearCalls();
    }
    // A text far down the page: the page is full and its confirmation is held.
    void overflow() {
        print_->AddTekst(Variant::Integer(500), Variant::Integer(1), Variant("volgend"));
    }
};

TEST_F(PageRedraw, RedrawGoesToTheScreenOnlyAndKeepsTheMode) {
    ConfirmationAnswers answers(windows(), {true, false});
    overflow();
    EXPECT_TRUE(answers.allGiven());
    EXPECT_EQ(printer_->callsOf("Print"),
              (QStringList{"Print(Blad   2,true)", "Print(volgend,true)"}))
        << "the redraw sent nothing to the printer";
    EXPECT_EQ(print_->UitvoerMode().toString(), "PS");
    EXPECT_TRUE(print_->HorLinesOn()) << "the redraw took the frame mark of the page";
    EXPECT_EQ(print_->CurrentPage, 2);
}

TEST_F(PageRedraw, FailingHeaderReplayStillGivesTheModeBack) {
    print_->AddKopregel(Variant::Integer(2), Variant::Integer(1), Variant("x"), Variant::Integer(0),
                        Variant("geen modus"));
    ConfirmationAnswers answers(windows(), {true});
    EXPECT_EQ(errorOf([&] { overflow(); }), 13);
    EXPECT_EQ(print_->UitvoerMode().toString(), "PS");
}

TEST_F(PageRedraw, FailingBodyReplayStillGivesTheModeBack) {
    print_->MaxDetailregel = Variant::Integer(5);
    ConfirmationAnswers answers(windows(), {true});
    EXPECT_EQ(errorOf([&] { overflow(); }), 9);
    EXPECT_EQ(print_->UitvoerMode().toString(), "PS");
    EXPECT_EQ(print_->StartLine, 1) << "set from the page snapshot before the failure";
}

}  // namespace
}  // namespace zel::testing
