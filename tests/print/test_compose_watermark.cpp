// The watermark: centred, in its own size and colour, with the devices' settings given back.
#include "test_compose_fixture.h"

namespace zel::testing {
namespace {

using Watermark = PrintObjectTest;

TEST_F(Watermark, PrinterGetsCentredTextAndItsSettingsBack) {
    print_->SetMode(Variant("P"));
    printer_->setCurrentX(1000);
    printer_->setCurrentY(2000);
    const float sizeBefore = printer_->FontSize();
    const int32_t colourBefore = printer_->ForeColor();
    printer_->clearCalls();

    print_->Watermerk(Variant("CONCEPT"));

    const QString size = QString::number(sizeBefore, 'g', 10);
    const QStringList expected = {
        "setForeColor(14540253)",    "setFontSize(72)",
        "setCurrentX(5533)",  // 11906 / 2 - 7 x 120 / 2
        "setCurrentY(8299)",  // 16838 / 2 - 240 / 2
        "setFontTransparent(true)",  "setBackgroundTransparent()",
        "Print(CONCEPT,true)",       "setCurrentX(1000)",
        "setCurrentY(2000)",         "setForeColor(" + QString::number(colourBefore) + ")",
        "setFontSize(" + size + ")",
    };
    EXPECT_EQ(printer_->calls(), expected);
    EXPECT_EQ(print_->MaxDetailregel.toLong(), 0) << "the printer part stores nothing";
    EXPECT_EQ(print_->CurrentPage, 1) << "the page check ran and started the page";
}

TEST_F(Watermark, ScreenStoresItUnexpandedAndRestoresTheWindow) {
    print_->SetMode(Variant("S"));
    frmPrint& frm = windows().frm();
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("tekst"));
    const float x = frm.CurrentX();
    const float y = frm.CurrentY();
    const float size = frm.FontSize();
    const int32_t colour = frm.ForeColor();

    print_->Watermerk(Variant("Blad #B"), Variant::Integer(30), Variant::Integer(60),
                      Variant::Long(0xC0C0C0));

    EXPECT_EQ(frm.CurrentX(), x);
    EXPECT_EQ(frm.CurrentY(), y);
    EXPECT_EQ(frm.FontSize(), size);
    EXPECT_EQ(frm.ForeColor(), colour);
    ASSERT_EQ(print_->MaxDetailregel.toLong(), 2);
    const PrintElement& mark = print_->Detailregels().at(2);
    EXPECT_EQ(mark.Soort, 4);
    EXPECT_EQ(mark.Tekst, "Blad #B");
    EXPECT_EQ(mark.Regel, 30);
    EXPECT_EQ(mark.Positie, 60);
    EXPECT_EQ(mark.Kleur, 0xC0C0C0);

    print_->Watermerk(Variant("niet bewaard"), Variant::Integer(30), Variant::Integer(60),
                      Variant::Long(0xC0C0C0), false);
    EXPECT_EQ(print_->MaxDetailregel.toLong(), 2);
}

TEST_F(Watermark, RunsThePageCheckInEveryModeAndRefusesNull) {
    print_->SetMode(Variant("F"));
    print_->Watermerk(Variant("x"), Variant::Integer(48), Variant::Integer(72),
                      Variant::Long(14540253), false);
    print_->Watermerk(Variant("x"));
    EXPECT_EQ(print_->CurrentPage, 2) << "mode F starts a page at every check";
    EXPECT_TRUE(printer_->calls().isEmpty());

    EXPECT_EQ(errorOf([&] { print_->Watermerk(Variant::Null()); }), 94);
    EXPECT_EQ(print_->CurrentPage, 2) << "Null fails before the page check";
}

}  // namespace
}  // namespace zel::testing
