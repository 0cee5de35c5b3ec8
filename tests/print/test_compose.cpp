// Texts, lines and boxes as the printer receives them: exact twips, colours, widths, draw modes
// and the order of the calls.
#include "test_compose_fixture.h"

namespace zel::testing {
namespace {

using ComposeOnPrinter = PrintObjectTest;

QString num(double v) {
    return QString::number(v, 'g', 10);
}

TEST_F(ComposeOnPrinter, TextLandsOnItsCellInTheElementsColourAndDrawMode) {
    struct Case {
        const char* name;
        int32_t currentLine, startLine;
        Variant regel, positie, kleur, drawMode;
        int32_t printForeColor;
        double row, positieValue;
        int32_t colour, mode;
    };
    const Case cases[] = {
        {"absolute while no page head", -1, 1, Variant::Integer(1), Variant::Integer(1), kMissing,
         kMissing, 0, 0, 1, 0, 13},
        {"relative to the page start", 2, 10, Variant::Integer(12), Variant::Integer(5),
         Variant::Long(255), kMissing, 0, 4, 5, 255, 14},
        // Line and position as the bus passes them: Long, whose products are Double.
        {"Long line and position", 2, 10, Variant::Long(12), Variant::Long(5), kMissing, kMissing,
         0, 4, 5, 0, 13},
        {"fractional position", 0, 1, Variant::Double(3), Variant::Double(2.5), kMissing,
         Variant::Integer(7), 0, 2, 2.5, 0, 7},
        {"fractional line", 3, 10, Variant::Double(12.25), Variant::Long(1), kMissing, kMissing, 0,
         5.25, 1, 0, 13},
        {"colour from PrintForeColor", -1, 1, Variant("4"), Variant::Integer(10), kMissing,
         kMissing, 0x00FF00, 3, 10, 0x00FF00, 14},
        // The platform's system colour "window text": black on a default desktop palette.
        {"system colour", -1, 1, Variant::Integer(1), Variant::Integer(1),
         Variant::Long(int32_t(0x80000008)), kMissing, 0, 0, 1, 0, 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        print_->SetMode(Variant("P"));
        print_->setPrintForeColor(Variant::Long(c.printForeColor));
        print_->CurrentLine = c.currentLine;
        print_->StartLine = c.startLine;
        const QStringList calls = callsAfter([&] {
            EXPECT_FALSE(
                print_->AddTekst(c.regel, c.positie, Variant("Tekst"), c.kleur, c.drawMode, false));
        });
        const QStringList expected = {
            "setForeColor(" + num(c.colour) + ")",
            "setDrawMode(" + num(c.mode) + ")",
            "setCurrentX(" + num(printerX(c.positieValue)) + ")",
            "setCurrentY(" + num(printerY(c.row)) + ")",
            "setFontTransparent(true)",
            "setBackgroundTransparent()",
            "Print(Tekst,true)",
        };
        EXPECT_EQ(calls, expected);
    }
}

TEST_F(ComposeOnPrinter, PositionOrLineNotAboveZeroKeepsThePrintPosition) {
    print_->SetMode(Variant("p"));
    print_->CurrentLine = -1;
    const QStringList calls = callsAfter([&] {
        print_->AddTekst(Variant::Integer(0), Variant::Integer(-3), Variant("x"), kMissing,
                         kMissing, false);
    });
    EXPECT_TRUE(printer_->callsOf("setCurrentX").isEmpty());
    EXPECT_TRUE(printer_->callsOf("setCurrentY").isEmpty());
    EXPECT_EQ(calls.last(), "Print(x,true)");
}

TEST_F(ComposeOnPrinter, LinesAndBoxesGetWidthModeAndTheirOwnColour) {
    struct Case {
        const char* name;
        bool box, fill;
        Variant kleur, dikte, drawMode;
        int flags;
        int32_t colour, mode;
    };
    const Case cases[] = {
        {"line", false, false, Variant::Long(0xFF), Variant::Integer(3), kMissing, 6, 0xFF, 14},
        {"outlined box", true, false, Variant::Integer(0), Variant::Integer(1), kMissing, 0x16, 0,
         13},
        {"filled box", true, true, Variant::Long(0x123456), Variant::Integer(2),
         Variant::Integer(9), 0x26, 0x123456, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        print_->SetMode(Variant("P"));
        print_->CurrentLine = 0;  // a page is open, its first line is line 1
        const QStringList calls = callsAfter([&] {
            if (c.box) {
                print_->AddBox(Variant::Integer(2), Variant::Integer(1), Variant::Integer(4),
                               Variant::Integer(80), c.kleur, c.fill, c.dikte, c.drawMode, true);
            } else {
                print_->AddLine(Variant::Integer(2), Variant::Integer(1), Variant::Integer(4),
                                Variant::Integer(80), c.kleur, c.dikte, c.drawMode, true);
            }
        });
        const QStringList expected = {
            "setDrawWidth(" + num(c.dikte.toInteger()) + ")",
            "setDrawMode(" + num(c.mode) + ")",
            QString("Line(%1,%2,%3,%4,%5,%6)")
                .arg(c.flags)
                .arg(num(printerX(1)), num(printerY(1)), num(printerX(80)), num(printerY(3)),
                     num(c.colour)),
        };
        EXPECT_EQ(calls, expected);
        EXPECT_FALSE(print_->Detailregels().exists()) << "mode P stores nothing";
    }
}

TEST_F(ComposeOnPrinter, LineFromPositionZeroStartsOneCellLeftOfTheMargin) {
    print_->SetMode(Variant("P"));
    print_->CurrentLine = -1;
    print_->AddLine(Variant::Integer(1), Variant::Integer(0), Variant::Integer(1),
                    Variant::Integer(2), kMissing, Variant::Integer(1), kMissing, false);
    EXPECT_EQ(printer_->callsOf("Line"), QStringList{"Line(6,680,800,920,800,0)"});
}

TEST_F(ComposeOnPrinter, FileAndUnknownModesDrawAndStoreNothing) {
    for (const char* mode : {"F", "X", ""}) {
        SCOPED_TRACE(mode);
        print_->SetMode(Variant(mode));
        print_->CurrentLine = 0;
        const QStringList calls = callsAfter([&] {
            print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("t"), kMissing,
                             kMissing, false);
            print_->AddLine(Variant::Integer(1), Variant::Integer(1), Variant::Integer(2),
                            Variant::Integer(2));
            print_->AddBox(Variant::Integer(1), Variant::Integer(1), Variant::Integer(2),
                           Variant::Integer(2));
        });
        EXPECT_TRUE(calls.isEmpty()) << calls.join(' ').toStdString();
        EXPECT_FALSE(print_->Detailregels().exists());
    }
}

TEST_F(ComposeOnPrinter, TextEarlyExitsDoNothingButAnEmptyStringPrints) {
    print_->SetMode(Variant("P"));
    print_->CurrentLine = -1;
    for (const Variant& text : {Variant::Null(), Variant()}) {
        EXPECT_TRUE(callsAfter([&] {
                        EXPECT_FALSE(print_->AddTekst(Variant::Integer(1), Variant::Integer(1),
                                                      text, kMissing, kMissing, true));
                    }).isEmpty());
    }
    EXPECT_EQ(print_->CurrentPage, 0) << "no page check for a text that is not there";

    print_->AnnulerenPressed = true;
    EXPECT_TRUE(callsAfter([&] {
                    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("t"));
                }).isEmpty());

    print_->AnnulerenPressed = false;
    callsAfter([&] {
        print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant(""), kMissing, kMissing,
                         false);
    });
    EXPECT_EQ(printer_->callsOf("Print"), QStringList{"Print(,true)"});
    EXPECT_EQ(printer_->CurrentY(), printerY(0) + 240) << "the line end still happens";
}

TEST_F(ComposeOnPrinter, RefusedPrintIsIgnoredButRefusedSettingsAreNot) {
    print_->SetMode(Variant("P"));
    print_->CurrentLine = -1;
    printer_->failPrint(true);
    EXPECT_NO_THROW(print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("t"),
                                     kMissing, kMissing, false));

    struct Case {
        const char* name;
        Variant kleur, drawMode;
        int error;
    };
    const Case cases[] = {
        {"Null colour", Variant::Null(), kMissing, 94},
        {"text as colour", Variant("rood"), kMissing, 13},
        {"draw mode out of range", kMissing, Variant::Integer(17), 380},
        {"colour -1", Variant::Long(-1), kMissing, 380},
        {"colour past 24 bits", Variant::Long(0x1000000), kMissing, 380},
        {"no such system colour", Variant::Long(int32_t(0x80000063)), kMissing, 380},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(errorOf([&] {
                      print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("t"),
                                       c.kleur, c.drawMode, false);
                  }),
                  c.error);
    }
}

TEST_F(ComposeOnPrinter, FirstTextStartsThePageThroughThePageCheck) {
    print_->SetMode(Variant("P"));
    EXPECT_FALSE(print_->AddTekst(Variant::Integer(5), Variant::Integer(1), Variant("a")));
    EXPECT_EQ(print_->CurrentPage, 1);
    EXPECT_EQ(print_->StartLine, 5);
    EXPECT_EQ(print_->CurrentLine, 0);
    // Line 5 is the page's first line: with no header it lands on row 0.
    EXPECT_TRUE(printer_->callsOf("setCurrentY").contains("setCurrentY(800)"));
}

}  // namespace
}  // namespace zel::testing
