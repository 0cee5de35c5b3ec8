// The screen side of the composition calls and the two element stores.
#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include "test_compose_fixture.h"

namespace zel::testing {
namespace {

using ComposeStores = PrintObjectTest;

int32_t count(const Variant& v) {
    return v.toLong();
}

TEST_F(ComposeStores, ScreenElementsAreStoredUnexpandedInTheOrderDrawn) {
    print_->SetMode(Variant("S"));
    print_->AddTekst(Variant::Integer(1), Variant::Integer(3), Variant("Blad #B"),
                     Variant::Long(255));
    print_->AddLine(Variant::Integer(2), Variant::Integer(1), Variant::Integer(2),
                    Variant::Integer(9), kMissing, Variant::Integer(2));
    print_->AddBox(Variant::Double(3.5), Variant::Integer(1), Variant::Integer(5),
                   Variant::Integer(9), Variant::Long(0xFF00), true, Variant::Integer(1),
                   Variant::Integer(7));
    print_->AddTekst(Variant::Integer(6), Variant::Integer(1), Variant("not kept"), kMissing,
                     kMissing, false);
    print_->AddLine(Variant::Integer(6), Variant::Integer(1), Variant::Integer(6),
                    Variant::Integer(9), kMissing, Variant::Integer(1), kMissing, false);

    const ElementStore& store = print_->Detailregels();
    EXPECT_EQ(count(print_->MaxDetailregel), 3);
    EXPECT_EQ(store.upperBound(), 3);
    EXPECT_EQ(store.at(0).Regel, 1) << "the page began at line 1";

    const PrintElement& text = store.at(1);
    EXPECT_EQ(text.Soort, 1);
    EXPECT_EQ(text.Regel, 1);
    EXPECT_EQ(text.Positie, 3);
    EXPECT_EQ(text.Kleur, 255);
    EXPECT_TRUE(text.DrawMode.identical(Variant::Integer(14)));
    EXPECT_EQ(text.Tekst, "Blad #B");

    const PrintElement& line = store.at(2);
    EXPECT_EQ(line.Soort, 3);
    EXPECT_EQ(line.Regel, 2);
    EXPECT_EQ(line.PositieTot, 9);
    EXPECT_EQ(line.Kleur, 0) << "PrintForeColor";
    EXPECT_EQ(line.Dikte, 2);
    EXPECT_TRUE(line.DrawMode.identical(Variant::Integer(13)));

    const PrintElement& box = store.at(3);
    EXPECT_EQ(box.Soort, 2);
    EXPECT_EQ(box.Regel, 3.5);
    EXPECT_EQ(box.RegelTot, 5);
    EXPECT_TRUE(box.FillArea);
    EXPECT_TRUE(box.DrawMode.identical(Variant::Integer(7)));

    EXPECT_TRUE(printer_->calls().filter("Line").isEmpty()) << "mode S leaves the printer alone";
}

TEST_F(ComposeStores, ScreenTextLeavesThePositionBehindItInItsColour) {
    print_->SetMode(Variant("S"));
    frmPrint& frm = windows().frm();
    print_->AddTekst(Variant::Integer(2), Variant::Integer(4), Variant("abc"), Variant::Long(255));
    const double cell = geometry().CharWidthScreen.toDouble();
    const double line = geometry().LineHeightScreen.toDouble();
    EXPECT_NEAR(frm.CurrentX(), 800 + cell * 3 + frm.TextWidth("abc"), 0.01);
    EXPECT_NEAR(frm.CurrentY(), 800 + line * 0, 0.01) << "line 2 is the page's first line";
    EXPECT_EQ(frm.ForeColor(), 255);

    // Position 0 continues directly behind the previous text.
    print_->AddTekst(Variant::Integer(0), Variant::Integer(0), Variant("d"));
    EXPECT_NEAR(frm.CurrentX(), 800 + cell * 3 + frm.TextWidth("abcd"), 0.5);
}

TEST_F(ComposeStores, FilledScreenBoxColoursItsPixels) {
    print_->SetMode(Variant("S"));
    print_->CurrentLine = -1;
    print_->AddBox(Variant::Integer(2), Variant::Integer(2), Variant::Integer(6),
                   Variant::Integer(12), Variant::Long(0x0000FF), true, Variant::Integer(1),
                   kMissing, false);
    frmPrint& frm = windows().frm();
    const QImage& image = frm.image();
    const double cell = geometry().CharWidthScreen.toDouble();
    const double line = geometry().LineHeightScreen.toDouble();
    const double twipsPerPixel = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    const auto pixel = [&](double positie, double row) {
        return image.pixelColor(int((800 + cell * (positie - 1)) / twipsPerPixel),
                                int((800 + line * row) / twipsPerPixel));
    };
    EXPECT_EQ(pixel(7, 3), QColor(Qt::red)) << "inside the box";
    EXPECT_EQ(pixel(14, 3), QColor(Qt::white)) << "right of the box";
}

TEST_F(ComposeStores, ModePSDrawsOnBothAndStoresOnce) {
    print_->SetMode(Variant("ps"));
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("beide"));
    EXPECT_EQ(count(print_->MaxDetailregel), 1);
    EXPECT_EQ(printer_->callsOf("Print"), QStringList{"Print(beide,true)"});
    EXPECT_GT(windows().frm().CurrentX(), 800);
}

TEST_F(ComposeStores, HeaderRecordsKeepTheirArgumentsConverted) {
    EXPECT_TRUE(print_->MaxKopregel.isEmpty());
    print_->AddKopregel(Variant("1"), Variant::Integer(1), Variant("Blad #B"));
    EXPECT_EQ(count(print_->MaxKopregel), 1) << "Empty plus one";

    print_->ClearKopregels();
    EXPECT_EQ(count(print_->MaxKopregel), 0);
    EXPECT_EQ(print_->Kopregels().upperBound(), 1);

    print_->AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant("Blad #B"));
    print_->AddKopregelBox(Variant::Integer(2), Variant::Integer(4), Variant::Integer(1),
                           Variant::Integer(80));
    print_->AddKopregelLine(Variant::Integer(5), Variant::Integer(5), Variant::Integer(1),
                            Variant::Integer(80), Variant::Long(255), Variant::Integer(3),
                            Variant::Integer(6));
    const ElementStore& store = print_->Kopregels();
    EXPECT_EQ(count(print_->MaxKopregel), 3);
    EXPECT_EQ(store.upperBound(), 3);

    const PrintElement& text = store.at(1);
    EXPECT_EQ(text.Soort, 1);
    EXPECT_EQ(text.Kleur, 0);
    EXPECT_TRUE(text.DrawMode.isMissing()) << "resolved only when drawn";
    EXPECT_EQ(text.Tekst, "Blad #B");

    const PrintElement& box = store.at(2);
    EXPECT_EQ(box.Soort, 2);
    EXPECT_EQ(box.Regel, 2);
    EXPECT_EQ(box.RegelTot, 4);
    EXPECT_EQ(box.Positie, 1);
    EXPECT_EQ(box.PositieTot, 80);
    EXPECT_EQ(box.Dikte, 1);
    EXPECT_FALSE(box.FillArea);

    const PrintElement& line = store.at(3);
    EXPECT_EQ(line.Soort, 3);
    EXPECT_EQ(line.Kleur, 255);
    EXPECT_EQ(line.Dikte, 3);
    EXPECT_TRUE(line.DrawMode.identical(Variant::Integer(6)));
}

TEST_F(ComposeStores, FailedConversionKeepsTheNewSlotAndTheFieldsBeforeIt) {
    print_->ClearKopregels();
    EXPECT_EQ(
        errorOf([&] { print_->AddKopregel(Variant::Integer(2), Variant("links"), Variant("x")); }),
        13);
    EXPECT_EQ(count(print_->MaxKopregel), 1);
    const PrintElement& e = print_->Kopregels().at(1);
    EXPECT_EQ(e.Soort, 1);
    EXPECT_EQ(e.Regel, 2);
    EXPECT_EQ(e.Tekst, "");

    EXPECT_EQ(errorOf([&] {
                  print_->AddKopregelBox(Variant::Integer(1), Variant::Integer(2),
                                         Variant::Integer(1), Variant::Integer(2), Variant::Null());
              }),
              94);
    EXPECT_EQ(count(print_->MaxKopregel), 2);
    EXPECT_EQ(print_->Kopregels().at(2).PositieTot, 2);
}

TEST_F(ComposeStores, CountsOutsideTheStoreFailWithoutTakingMemory) {
    struct Case {
        const char* name;
        Variant count;
        int error;
        Variant countAfter;
    };
    const Case cases[] = {
        {"negative count", Variant::Integer(-5), 9, Variant::Integer(-4)},
        {"a million", Variant::Long(1000000), 7, Variant::Long(1000000)},
        {"beyond 32 bits", Variant::Double(5e9), 7, Variant::Double(5e9)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        print_->ClearKopregels();
        print_->AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant("kop"));
        print_->MaxKopregel = c.count;
        EXPECT_EQ(errorOf([&] {
                      print_->AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant("x"));
                  }),
                  c.error);
        EXPECT_TRUE(print_->MaxKopregel.identical(c.countAfter));
        EXPECT_EQ(print_->Kopregels().upperBound(), 1);
        EXPECT_EQ(print_->Kopregels().at(1).Tekst, "kop");
    }

    print_->ClearKopregels();
    print_->SetMode(Variant("S"));
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("body"));
    print_->MaxDetailregel = Variant::Long(999999);
    EXPECT_EQ(errorOf([&] {
                  print_->AddLine(Variant::Integer(1), Variant::Integer(1), Variant::Integer(1),
                                  Variant::Integer(2));
              }),
              7);
    EXPECT_TRUE(print_->MaxDetailregel.identical(Variant::Long(999999)));
    EXPECT_EQ(print_->Detailregels().upperBound(), 1);
}

TEST_F(ComposeStores, BodyCountContinuesAsLongPastSixteenBits) {
    print_->SetMode(Variant("S"));
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("body"));
    print_->MaxDetailregel = Variant::Integer(32767);
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("next"));
    EXPECT_TRUE(print_->MaxDetailregel.identical(Variant::Long(32768)));
    EXPECT_EQ(print_->Detailregels().at(32768).Tekst, "next");
}

TEST_F(ComposeStores, PageStartEmptiesTheBodyStoreAndRecordsTheGridSwitches) {
    print_->Reset(Variant("S"), true, false);
    print_->AddTekst(Variant::Integer(7), Variant::Integer(1), Variant("a"));
    print_->AddTekst(Variant::Integer(8), Variant::Integer(1), Variant("b"));
    EXPECT_EQ(count(print_->MaxDetailregel), 2);
    const PrintElement& snapshot = print_->Detailregels().at(0);
    EXPECT_EQ(snapshot.Regel, 7);
    EXPECT_EQ(snapshot.HorLinesOn, -1);
    EXPECT_EQ(snapshot.CrossLinesOn, 0);
}

}  // namespace
}  // namespace zel::testing
