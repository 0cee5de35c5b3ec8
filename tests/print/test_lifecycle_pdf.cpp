// Creation, Reset, release and orientation with the real printer: what reaches the PDF files.
#include <QFile>
#include <memory>

#include "print/clsPrint.h"
#include "real_printer_fixture.h"
#include "support/PdfProbe.h"

namespace zel::testing {
namespace {

using LifecyclePdf = RealPrinterTest;

QStringList textsOf(const QString& pdf) {
    QStringList texts;
    for (const PdfWord& w : pdfWords(pdf)) texts << w.text;
    return texts;
}

void printText(clsPrint& print, int regel, const char* text) {
    print.AddTekst(Variant::Long(regel), Variant::Integer(1), Variant(text));
}

// A program's objects share one context: a report that two objects print together is one job,
// while a context of its own prints a job of its own.
TEST_F(LifecyclePdf, ObjectsOfOneProgramShareOneJob) {
    {
        clsPrint first;
        clsPrint second;
        clsPrint apart(std::make_shared<PrintContext>());
        ASSERT_EQ(&first.context(), &second.context());
        for (clsPrint* print : {&first, &second, &apart}) print->SetMode(Variant("P"));
        printText(first, 1, "eerste");
        printText(apart, 1, "apart");
        printText(second, 2, "tweede");
    }
    QStringList printed;
    for (const QString& job : jobs()) printed << textsOf(job).join(' ');
    printed.sort();
    EXPECT_EQ(printed, QStringList({"apart", "eerste tweede"}));
}

TEST_F(LifecyclePdf, ReleasePrintsTheJobOnlyInThePrinterModes) {
    struct Case {
        const char* mode;
        bool printed;
    };
    for (const Case& c : {Case{"S", false}, Case{"P", true}, Case{"ps", true}}) {
        SCOPED_TRACE(c.mode);
        const int before = jobs().size();
        {
            clsPrint print(context_);
            print.SetMode(Variant(c.mode));
            printText(print, 1, c.mode);
        }
        ASSERT_EQ(jobs().size() - before, c.printed ? 1 : 0);
        if (c.printed) {
            EXPECT_TRUE(textsOf(jobs().last()).contains(c.mode));
        }
    }
    // Mode "F" draws nothing, so there is no job to end and no file.
    {
        clsPrint print(context_);
        print.SetMode(Variant("F"));
        printText(print, 1, "F");
    }
    context_.reset();
    EXPECT_EQ(jobs().size(), 2);
}

TEST_F(LifecyclePdf, ResetEndsTheJobAndTheNextPageIsNumberedTwo) {
    clsPrint print(context_);
    print.SetMode(Variant("P"));
    print.ClearKopregels();
    print.AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant("Blad #B"));
    printText(print, 2, "eerste");
    print.Reset();
    ASSERT_EQ(jobs().size(), 1);
    printText(print, 2, "tweede");
    printer().EndDoc();
    ASSERT_EQ(jobs().size(), 2);
    const QStringList second = textsOf(jobs().last());
    EXPECT_TRUE(second.contains("tweede"));
    EXPECT_FALSE(second.contains("eerste"));
    EXPECT_EQ(second.at(second.indexOf("Blad") + 1), "2");
}

TEST_F(LifecyclePdf, OrientationChangeKeepsThePagesSoFarAndTurnsTheNextJob) {
    clsPrint print(context_);
    print.SetMode(Variant("P"));
    printText(print, 1, "staand1");
    print.NieuwBlad(Variant::Integer(2));
    printText(print, 2, "staand2");
    print.SetOrientation(Variant::Integer(2));
    ASSERT_EQ(jobs().size(), 1);  // the pages so far, as one job
    EXPECT_EQ(pdfPageCount(jobs().first()), 2);
    EXPECT_LT(pdfPageSize(jobs().first(), 1).width(), pdfPageSize(jobs().first(), 1).height());

    printText(print, 3, "liggend");
    printer().EndDoc();
    ASSERT_EQ(jobs().size(), 2);
    EXPECT_TRUE(textsOf(jobs().last()).contains("liggend"));
    EXPECT_GT(pdfPageSize(jobs().last(), 1).width(), pdfPageSize(jobs().last(), 1).height());
    EXPECT_GT(geometry().PositionsPerLine, geometry().LinesPerPage);
}

TEST_F(LifecyclePdf, PrintBackColorCoversWhatIsOnThePage) {
    clsPrint print(context_);
    print.SetMode(Variant("P"));
    printText(print, 1, "verborgen");
    print.letPrintBackColor(Variant::Long(0x00FFFF));  // yellow over the text
    printer().EndDoc();
    ASSERT_EQ(jobs().size(), 1);
    const QImage page = pdfPageImage(jobs().first(), 1, 30, QRect(0, 0, 200, 200));
    // The whole sheet is one flat colour: the text under it no longer shows.
    const QRgb corner = page.pixel(0, 0);
    for (int y = 0; y < page.height(); y += 7)
        for (int x = 0; x < page.width(); x += 7) ASSERT_EQ(page.pixel(x, y), corner);
    EXPECT_NE(qGray(corner), 255);
}

TEST_F(LifecyclePdf, BackgroundAloneIsNoPageAndNoJob) {
    {
        clsPrint print(context_);
        print.SetMode(Variant("P"));
        print.letPrintBackColor(Variant::Long(0x00FFFF));
        print.Reset();
        print.letPrintBackColor(Variant::Long(0x00FFFF));
        printText(print, 1, "geel");
    }
    // One job of one yellow page holding the text: the background did not take a sheet.
    ASSERT_EQ(jobs().size(), 1);
    EXPECT_EQ(pdfPageCount(jobs().first()), 1);
    EXPECT_TRUE(textsOf(jobs().first()).contains("geel"));
    const QImage page = pdfPageImage(jobs().first(), 1, 30, QRect(0, 0, 50, 50));
    EXPECT_NE(qGray(page.pixel(0, 0)), 255);  // yellow, not the white of paper
}

TEST_F(LifecyclePdf, RefusedDestinationIsAnErrorUpToTheJobsEnd) {
    QFile plain(dir_.path() + "/plain");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    // A queue CUPS does not know, and a PDF folder that cannot be created.
    for (const QString& destination :
         {QString("NoSuchQueue"), "pdf:" + plain.fileName() + "/out"}) {
        SCOPED_TRACE(destination.toStdString());
        qputenv("ZELPRINT_PRINTER", destination.toUtf8());
        clsPrint print(context_);
        print.SetMode(Variant("P"));
        EXPECT_EQ(errorOf([&] { printText(print, 1, "kwijt"); }), 482);
        EXPECT_EQ(errorOf([&] { print.Cls(); }), 482);
        EXPECT_EQ(errorOf([&] { printText(print, 1, "kwijt"); }), 482);
        const std::optional<VbError> undelivered = print.Terminate();
        ASSERT_TRUE(undelivered);
        EXPECT_EQ(undelivered->number(), 482);
        EXPECT_FALSE(print.Terminate());  // the release runs once
    }
    EXPECT_TRUE(jobs().isEmpty());
}

}  // namespace
}  // namespace zel::testing
