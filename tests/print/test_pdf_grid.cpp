// A report printed for real, to a PDF file, and read back: every text sits on its grid cell.
#include <algorithm>

#include "print/clsPrint.h"
#include "real_printer_fixture.h"
#include "support/PdfProbe.h"

namespace zel::testing {
namespace {

using PdfGrid = RealPrinterTest;

TEST_F(PdfGrid, PrintedTextsLieOnTheirCells) {
    double cell = 0, line = 0;
    {
        clsPrint print(context_);
        print.SetMode(Variant("P"));
        print.ClearKopregels();
        print.AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant("Overzicht #D"));
        print.AddKopregel(Variant::Integer(1), Variant::Integer(60), Variant("Blad #B"));
        print.AddKopregelBox(Variant::Integer(2), Variant::Integer(4), Variant::Integer(1),
                             Variant::Integer(80));
        print.AddKopregelLine(Variant::Integer(5), Variant::Integer(5), Variant::Integer(1),
                              Variant::Integer(80), Variant::Long(0xFF), Variant::Integer(2));
        print.AddTekst(Variant::Integer(10), Variant::Integer(5), Variant("Alfa"));
        print.AddTekst(Variant::Integer(11), Variant::Integer(20), Variant("Beta"),
                       Variant::Long(0xFF0000));
        print.AddBox(Variant::Integer(12), Variant::Integer(5), Variant::Integer(13),
                     Variant::Integer(30), Variant::Long(0xDDDDDD), true);
        print.AddLine(Variant::Integer(14), Variant::Integer(5), Variant::Integer(14),
                      Variant::Integer(30));
        print.AddTekst(Variant::Integer(15), Variant::Double(7.5), Variant("Gamma"));
        cell = geometry().CharWidthPrinter.toDouble();
        line = geometry().LineHeightPrinter.toDouble();
        printer().EndDoc();
    }
    ASSERT_EQ(jobs().size(), 1);
    const QVector<PdfWord> words = pdfWords(jobs().first());

    // The header is drawn on absolute lines; the body starts below its highest line (5), so
    // client line 10, where the page began, is page row 5.
    struct Expected {
        const char* text;
        double positie, row;
    };
    const Expected expected[] = {
        {"Overzicht", 1, 0}, {"05-03-2024", 11, 0}, {"Blad", 60, 0},
        {"1", 67, 0},  // right-aligned in three characters: "Blad", a blank, "  1"
        {"Alfa", 5, 5},      {"Beta", 20, 6},       {"Gamma", 7.5, 10},
    };
    const double margin = 800;
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.text);
        const auto found = std::find_if(words.begin(), words.end(),
                                        [&](const PdfWord& w) { return w.text == e.text; });
        ASSERT_NE(found, words.end());
        EXPECT_NEAR(found->left * 20, margin + (e.positie - 1) * cell, cell / 2);
        EXPECT_NEAR(found->top * 20, margin + e.row * line, line / 2);
    }
}

// A job that starts on another sheet than the grid was measured on (a paper chosen in the
// dialog meanwhile, another caller's options) has the grid measured again: every line of a
// long report comes back, each on its A5 sheet.
TEST_F(PdfGrid, GridFollowsTheSheetTheJobStartsOn) {
    clsPrint print(context_);
    print.SetMode(Variant("P"));
    const int32_t a4Lines = geometry().LinesPerPage;
    JobOptions a5;
    a5.set("media", "a5");
    {
        const PrintJobs::Scope chosen(context_->jobs(), 0, QString(), a5);
        for (int32_t line = 1; line <= 2 * a4Lines; ++line)
            print.AddTekst(Variant::Long(line), Variant::Integer(1),
                           Variant(QString("r%1").arg(line)));
        printer().EndDoc();
    }
    EXPECT_LT(geometry().LinesPerPage, a4Lines);
    ASSERT_EQ(jobs().size(), 1);
    const QVector<PdfWord> words = pdfWords(jobs().first());
    EXPECT_EQ(words.size(), 2 * a4Lines);
    const double bottom = pdfPageSize(jobs().first(), 1).height();
    const double line = geometry().LineHeightPrinter.toDouble() / 20;
    for (const PdfWord& word : words) {
        SCOPED_TRACE(word.text.toStdString());
        EXPECT_LE(word.top + line, bottom);
    }
}

}  // namespace
}  // namespace zel::testing
