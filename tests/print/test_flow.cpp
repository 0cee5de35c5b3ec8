// Page flow: when pages break, the confirmation in the screen modes, NieuwBlad and friends.
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

#include "files/NumberedFiles.h"
#include "test_compose_fixture.h"
#include "windows/Questions.h"

namespace zel::testing {
namespace {

class FlowTest : public PrintObjectTest {
protected:
    void TearDown() override {
        installAnswerer({});
        PrintObjectTest::TearDown();
    }

    // Answers every confirmation with the given buttons in turn ("Ja" after the list ends),
    // clicking the real button as a user would.
    void answerWith(QStringList answers) {
        answers_ = std::move(answers);
        installAnswerer([this](QWidget* question) {
            auto* ok = qobject_cast<frmOk*>(question);
            if (!ok) return;
            ++confirmations_;
            const QString answer = answers_.isEmpty() ? "Ja" : answers_.takeFirst();
            QTest::mouseClick(answer == "Ja" ? ok->cmdOk() : ok->cmdAnnuleer(), Qt::LeftButton);
        });
    }

    bool text(int regel, const QString& tekst = "x") {
        return print_->AddTekst(Variant::Long(regel), Variant::Integer(1), Variant(tekst));
    }

    // A file for ToonBlad to open, with the given contents.
    QString pageFile(const QByteArray& contents = {}) {
        const QString path = dir_.path() + "/blad.txt";
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
        return path;
    }

    QStringList answers_;
    int confirmations_ = 0;
};

TEST_F(FlowTest, FirstTextStartsPageOneWithoutConfirmation) {
    answerWith({});
    text(5);
    EXPECT_EQ(print_->CurrentPage, 1);
    EXPECT_EQ(print_->StartLine, 5);
    EXPECT_EQ(print_->CurrentLine, 0);
    EXPECT_EQ(confirmations_, 0);
}

TEST_F(FlowTest, PageBreaksWhenTheLineNoLongerFits) {
    answerWith({});
    print_->ClearKopregels();
    print_->AddKopregel(Variant::Integer(2), Variant::Integer(1), Variant("kop"));
    text(1);  // page 1: header used two lines
    geometry().LinesPerPage = 60;
    ASSERT_EQ(print_->CurrentLine, 2);
    text(58);  // 2 + 58 - 1 + 1 = 60 fits
    EXPECT_EQ(print_->CurrentPage, 1);
    EXPECT_EQ(confirmations_, 0);
    text(59);  // 61 > 60
    EXPECT_EQ(print_->CurrentPage, 2);
    EXPECT_EQ(print_->StartLine, 59);
    EXPECT_EQ(confirmations_, 1);
    // The new page's body holds only the text that broke it.
    EXPECT_EQ(print_->MaxDetailregel.toLong(), 1);
    EXPECT_EQ(print_->Detailregels().at(0).Regel, 59);
}

TEST_F(FlowTest, LineNumbersOfEveryKindBreakThePageAlike) {
    // Line 59 on a page of 60 lines whose header used two and whose body began at line 1.
    const Variant fits = Variant::Long(58);
    const Variant breaks[] = {Variant::Integer(59), Variant::Long(59), Variant::Double(59),
                              // Half a line past the last (a text's line pitch) is past it.
                              Variant::Double(58.5), Variant("59"), Variant::CurrencyScaled(590000),
                              // A Long sum past 32 bits goes on as a Double, never wrapping.
                              Variant::Long(INT32_MAX)};
    print_->SetMode(Variant("P"));
    print_->ClearKopregels();
    print_->AddKopregel(Variant::Integer(2), Variant::Integer(1), Variant("kop"));
    for (const Variant& regel : breaks) {
        SCOPED_TRACE(regel.toString().toStdString());
        print_->Cls();
        text(1);
        geometry().LinesPerPage = 60;
        print_->AddTekst(fits, Variant::Integer(1), Variant("x"));
        EXPECT_EQ(print_->CurrentPage, 1);
        print_->AddTekst(regel, Variant::Integer(1), Variant("x"));
        EXPECT_EQ(print_->CurrentPage, 2);
        EXPECT_EQ(print_->StartLine, regel.toLong());
    }
}

TEST_F(FlowTest, WithoutHeaderAScreenPageBreaksWithoutConfirmation) {
    answerWith({});
    text(1);
    geometry().LinesPerPage = 10;
    text(11);
    EXPECT_EQ(print_->CurrentPage, 2);
    EXPECT_EQ(confirmations_, 0);
    // Only NieuwBlad asks then.
    EXPECT_TRUE(print_->NieuwBlad(Variant::Integer(12)));
    EXPECT_EQ(confirmations_, 1);
    EXPECT_EQ(print_->CurrentLine, -1);
}

TEST_F(FlowTest, NieuwBladByMode) {
    answerWith({});
    // Screen page without stored body: nothing happens.
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("x"), kMissing, kMissing,
                     false);
    EXPECT_FALSE(print_->NieuwBlad(Variant::Integer(2)));
    EXPECT_EQ(confirmations_, 0);

    // Printer: the page is only marked as ended; the next element raises the page.
    print_->SetMode(Variant("P"));
    text(1);
    const int page = print_->CurrentPage;
    EXPECT_TRUE(print_->NieuwBlad(Variant::Integer(2)));
    EXPECT_EQ(print_->CurrentPage, page);
    EXPECT_EQ(confirmations_, 0);
    printer_->clearCalls();
    text(2);
    EXPECT_EQ(print_->CurrentPage, page + 1);
    EXPECT_EQ(printer_->callsOf("NewPage").size(), 1);
}

TEST_F(FlowTest, LowerCaseScreenModeDrawsButNeverWaits) {
    answerWith({});
    print_->SetMode(Variant("ps"));
    text(1);
    EXPECT_TRUE(print_->NieuwBlad(Variant::Integer(2)));
    EXPECT_EQ(confirmations_, 0);
    EXPECT_FALSE(printer_->callsOf("Print").isEmpty());
}

TEST_F(FlowTest, AfbrekenIsRecordedAndStopsLaterTexts) {
    answerWith({"Afbreken"});
    text(1);
    EXPECT_FALSE(print_->NieuwBlad(Variant::Integer(2)));
    EXPECT_TRUE(print_->AnnulerenPressed);
    EXPECT_FALSE(print_->GetResult());
    const Variant before = print_->MaxDetailregel;
    text(2);  // skipped while aborted
    EXPECT_EQ(print_->CurrentLine, -1);
    EXPECT_TRUE(print_->MaxDetailregel.identical(before));
    print_->Reset();
    EXPECT_TRUE(print_->GetResult());
}

TEST_F(FlowTest, CheckRegelsBeschikbaar) {
    answerWith({});
    EXPECT_TRUE(print_->CheckRegelsBeschikbaar(Variant::Integer(1), Variant::Long(100000)));
    text(1);
    geometry().LinesPerPage = 20;
    EXPECT_TRUE(print_->CheckRegelsBeschikbaar(Variant::Integer(10), Variant::Integer(10)));
    // Does not fit: false, and the page is ended (with the stored text, a confirmation).
    EXPECT_FALSE(print_->CheckRegelsBeschikbaar(Variant::Integer(12), Variant::Integer(10)));
    EXPECT_EQ(print_->CurrentLine, -1);
    // False also when the NieuwBlad it calls does nothing (no stored body).
    text(12);
    print_->ClearKopregels();
    print_->SetMode(Variant("F"));
    print_->CurrentLine = 5;
    EXPECT_FALSE(print_->CheckRegelsBeschikbaar(Variant::Integer(30), Variant::Integer(1)));
}

TEST_F(FlowTest, FileModeStartsAPageAtEveryCall) {
    print_->SetMode(Variant("F"));
    text(1);
    text(2);
    EXPECT_EQ(print_->CurrentPage, 2);
    EXPECT_EQ(print_->CurrentLine, -1);
    EXPECT_TRUE(printer_->calls().isEmpty());
}

TEST_F(FlowTest, ClsAndResetNumbering) {
    print_->SetMode(Variant("P"));
    text(1);
    print_->Cls();
    EXPECT_EQ(printer_->jobsEnded(), 1);
    EXPECT_EQ(print_->CurrentPage, 0);
    text(1);
    EXPECT_EQ(print_->CurrentPage, 1);
    print_->Reset();
    text(1);
    EXPECT_EQ(print_->CurrentPage, 2);
}

TEST_F(FlowTest, RedrawRequestReplaysHeaderAndBodyOnTheScreenOnly) {
    print_->SetMode(Variant("PS"));
    print_->ClearKopregels();
    print_->AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant("kop"));
    text(1, "body");
    // The first answer moves the vertical scroll bar (pan and redraw), the second says "Ja".
    int asked = 0;
    installAnswerer([&](QWidget* question) {
        auto* ok = qobject_cast<frmOk*>(question);
        if (!ok) return;
        if (++asked == 1) {
            ok->VScroll1()->triggerAction(QAbstractSlider::SliderPageStepAdd);
            return;
        }
        QTest::mouseClick(ok->cmdOk(), Qt::LeftButton);
    });
    printer_->clearCalls();
    EXPECT_TRUE(print_->NieuwBlad(Variant::Integer(2)));
    EXPECT_EQ(asked, 2);
    EXPECT_GT(windows().frm().ScaleTop(), 0);  // the page view was panned before the redraw
    // Nothing reached the printer during the wait and the redraw.
    EXPECT_TRUE(printer_->callsOf("Print").isEmpty());
    EXPECT_EQ(print_->UitvoerMode().toString(), "PS");
}

TEST_F(FlowTest, PageStartedByAWatermarkTakesItsStartLineFromTheFirstNumberedCall) {
    const Variant seven = Variant::Long(7);
    const Variant one = Variant::Integer(1);
    const Variant ten = Variant::Integer(10);
    // Whatever kind the first numbered call is, line 7 becomes the page's first body row.
    const std::vector<std::pair<const char*, std::function<void()>>> firsts = {
        {"text", [&] { text(7); }},
        {"text outside the store",
         [&] {
             print_->AddTekst(seven, one, Variant("x"), Variant::Missing(), Variant::Missing(),
                              false);
         }},
        {"box", [&] { print_->AddBox(seven, one, seven, ten); }},
        {"line", [&] { print_->AddLine(seven, one, seven, ten); }},
    };
    print_->SetMode(Variant("P"));
    print_->ClearKopregels();
    print_->AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant("kop"));
    const QString row1 = QString::number(printerY(1));
    for (const auto& [name, first] : firsts) {
        SCOPED_TRACE(name);
        print_->Cls();
        print_->Watermerk(Variant("CONCEPT"));
        EXPECT_EQ(print_->CurrentPage, 1);
        printer_->clearCalls();
        first();
        const QRegularExpression atRow1(
            QString(R"(^(setCurrentY\(%1\)|Line\(\d+,[^,]+,%1,))").arg(row1));
        EXPECT_FALSE(printer_->calls().filter(atRow1).isEmpty())
            << printer_->calls().join(" ").toStdString();
        EXPECT_EQ(print_->StartLine, 7);
        printer_->clearCalls();
        text(8);
        EXPECT_EQ(print_->CurrentPage, 1);  // no page with only the header and the watermark
        // Line 8 lands on the row below line 7: row = 8 + 1 - 7 = 2.
        EXPECT_TRUE(
            printer_->callsOf("setCurrentY").contains(QString("setCurrentY(%1)").arg(printerY(2))));
    }
    // A text whose line is Empty starts its page at line 0, as any text does; no later call
    // moves that start.
    print_->Cls();
    print_->AddTekst(Variant(), one, Variant("x"));
    text(7);
    EXPECT_EQ(print_->StartLine, 0);
}

TEST_F(FlowTest, BoxOrLineWithNoPageOpenStartsThePageItFrames) {
    const Variant one = Variant::Integer(1);
    const Variant ten = Variant::Integer(10);
    struct Case {
        const char* name;
        std::function<void()> before;
        int regel;
    };
    const Case cases[] = {
        {"before the first text", [] {}, 5},
        {"after NieuwBlad", [&] { text(1), print_->NieuwBlad(Variant::Integer(2)); }, 2},
        {"after a full page", [&] { text(1), text(60); }, 61},
    };
    print_->SetMode(Variant("P"));
    for (const bool box : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(box ? "box " : "line ") + c.name);
            print_->Cls();
            geometry().LinesPerPage = 60;
            c.before();
            const int32_t page = print_->CurrentPage;
            printer_->clearCalls();
            const Variant regel = Variant::Long(c.regel);
            const Variant regelTot = Variant::Long(c.regel + 2);
            if (box)
                print_->AddBox(regel, one, regelTot, ten);
            else
                print_->AddLine(regel, one, regelTot, ten);
            // The figure opens the next page and lies on its first row, as its text will.
            EXPECT_EQ(print_->CurrentPage, page + 1);
            EXPECT_EQ(print_->StartLine, c.regel);
            EXPECT_EQ(printer_->callsOf("Line").size(), 1);
            EXPECT_TRUE(
                printer_->callsOf("Line").value(0).contains(QString(",%1,").arg(printerY(0))));
            text(c.regel + 1);
            EXPECT_EQ(print_->CurrentPage, page + 1);
        }
    }
    // On an open page a figure is drawn where it is, also above the last text.
    print_->AddBox(one, one, ten, ten);
    EXPECT_EQ(print_->CurrentPage, 2);
}

TEST_F(FlowTest, BlockCheckOnAWatermarkPageMeasuresFromThePagesFirstBodyRow) {
    // The page head uses line 1; the page starts with the watermark and no line number yet.
    const struct {
        int aantal;
        bool fits;
    } cases[] = {{5, true}, {58, true}, {59, false}};
    print_->SetMode(Variant("P"));
    print_->ClearKopregels();
    print_->AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant("kop"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.aantal);
        print_->Cls();
        geometry().LinesPerPage = 60;
        print_->Watermerk(Variant("CONCEPT"));
        ASSERT_EQ(print_->CurrentPage, 1);
        EXPECT_EQ(print_->CheckRegelsBeschikbaar(Variant::Integer(100), Variant::Integer(c.aantal)),
                  c.fits);
        text(100);
        EXPECT_EQ(print_->CurrentPage, c.fits ? 1 : 2);
        EXPECT_EQ(print_->StartLine, 100);
    }
}

TEST_F(FlowTest, BadLineNumberFailsBeforeAnyPageIsStarted) {
    const struct {
        Variant regel;
        int error;
    } cases[] = {{Variant("abc"), 13}, {Variant::Double(3e9), 6}};
    print_->SetMode(Variant("P"));
    print_->ClearKopregels();
    print_->AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant("kop"));
    geometry().LinesPerPage = 60;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        print_->Cls();
        printer_->clearCalls();
        EXPECT_EQ(errorOf([&] { print_->AddTekst(c.regel, Variant::Integer(1), Variant("x")); }),
                  c.error);
        EXPECT_EQ(print_->CurrentPage, 0);
        EXPECT_EQ(print_->CurrentLine, -1);
        EXPECT_TRUE(printer_->calls().isEmpty());
        // On a page started by a watermark, the bad line leaves the start line to the next text.
        print_->Watermerk(Variant("CONCEPT"));
        EXPECT_EQ(errorOf([&] { print_->AddTekst(c.regel, Variant::Integer(1), Variant("x")); }),
                  c.error);
        text(100);
        EXPECT_EQ(print_->CurrentPage, 1);
        EXPECT_EQ(print_->StartLine, 100);
    }
    // A page number that would leave the Long range is an overflow, like a bad line.
    print_->Cls();
    print_->CurrentPage = INT32_MAX;
    EXPECT_EQ(errorOf([&] { text(1); }), 6);
    EXPECT_EQ(print_->CurrentPage, INT32_MAX);
}

TEST_F(FlowTest, ToonBladOpensTheFileOnceAndReleaseClosesIt) {
    print_->PrintFileName = Variant(pageFile("blad"));
    EXPECT_TRUE(print_->ToonBlad(Variant()).isEmpty());
    const int16_t number = print_->PrintFilenr;
    EXPECT_TRUE(context_->files().IsOpen(number));
    EXPECT_EQ(errorOf([&] { print_->ToonBlad(Variant()); }), 55);
    print_.reset();
    EXPECT_FALSE(context_->files().IsOpen(number));
    print_ = std::make_unique<clsPrint>(context_);
    print_->PrintFileName = Variant(dir_.path() + "/missing.txt");
    EXPECT_EQ(errorOf([&] { print_->ToonBlad(Variant()); }), 53);
    print_->PrintFileName = Variant(dir_.path());
    print_->PrintFilenr = 0;
    EXPECT_EQ(errorOf([&] { print_->ToonBlad(Variant()); }), 75);
}

TEST_F(FlowTest, ReleaseClosesEveryFileToonBladOpened) {
    print_->PrintFileName = Variant(pageFile());
    QList<int16_t> numbers;
    for (int i = 0; i < 3; ++i) {
        print_->PrintFilenr = 0;  // a fresh number for each page shown
        print_->ToonBlad(Variant());
        numbers << print_->PrintFilenr;
    }
    print_.reset();
    for (int16_t number : numbers) EXPECT_FALSE(context_->files().IsOpen(number)) << number;
}

}  // namespace
// Each context numbers its own files: a client that holds every number leaves another's free.
TEST_F(FlowTest, FileNumbersBelongToTheirContext) {
    const QString path = pageFile();
    print_->PrintFileName = Variant(path);
    for (int i = 0; i < 255; ++i) {
        print_->PrintFilenr = 0;
        print_->ToonBlad(Variant());
    }
    print_->PrintFilenr = 0;
    EXPECT_EQ(errorOf([&] { print_->ToonBlad(Variant()); }), 67);
    clsPrint other(std::make_shared<PrintContext>(std::make_unique<RecordingPrinterSurface>()));
    other.PrintFileName = Variant(path);
    other.ToonBlad(Variant());
    EXPECT_EQ(other.PrintFilenr, 1);
}

}  // namespace zel::testing
