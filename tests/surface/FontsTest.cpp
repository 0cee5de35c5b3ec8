#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "PrinterTestEnv.h"
#include "screen/ImageSurface.h"
#include "surface/Fonts.h"
#include "surface/QtPrinterSurface.h"
#include "variant/VbError.h"

using namespace zel;

TEST(Fonts, NamesWithoutAFontOrSubstituteAreRefused) {
    struct Case {
        const char* name;
        bool accepted;
    };
    const Case cases[] = {
        {"Terminal", true},
        {"Courier New", true},
        {"courier new", true},
        {"Liberation Mono", true},
        {"Zzq Nonsense Font", false},
        {"", false},
        {"Liberation Mono                                                                  "
         "                                                                                 "
         "                                                                                 "
         "                                                                                 ",
         false},  // no family is named that long
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImageSurface surface;
        try {
            surface.setFontName(QString::fromUtf8(c.name));
            EXPECT_TRUE(c.accepted);
            EXPECT_EQ(surface.FontName(), QString::fromUtf8(c.name));
        } catch (const VbError& error) {
            EXPECT_FALSE(c.accepted);
            EXPECT_EQ(error.number(), 380);
        }
    }
}

TEST(Fonts, RefusedNameKeepsTheFontBefore) {
    ImageSurface surface;
    surface.setFontName(QStringLiteral("Terminal"));
    surface.setFontSize(12);
    const float cell = surface.TextWidth(QStringLiteral("A"));
    EXPECT_THROW(surface.setFontName(QStringLiteral("Zzq Nonsense Font")), VbError);
    EXPECT_EQ(surface.FontName(), QStringLiteral("Terminal"));
    EXPECT_EQ(surface.TextWidth(QStringLiteral("A")), cell);
}

// The grid is built from the width of "A": every character must take that width.
TEST(Fonts, ReportFontsHaveAFixedPitch) {
    for (const char* name : {"Terminal", "Courier New"}) {
        SCOPED_TRACE(name);
        ImageSurface surface;
        surface.setFontName(QString::fromUtf8(name));
        surface.setFontSize(6);
        const float cell = surface.TextWidth(QStringLiteral("A"));
        EXPECT_GT(cell, 0);
        EXPECT_FLOAT_EQ(surface.TextWidth(QStringLiteral("iW.m")), 4 * cell);
    }
}

TEST(Fonts, SizeKeepsAcrossNameAndRefusesNonPositive) {
    ImageSurface surface;
    surface.setFontSize(14);
    surface.setFontBold(true);
    surface.setFontName(QStringLiteral("Courier New"));
    EXPECT_FLOAT_EQ(surface.FontSize(), 14);
    EXPECT_TRUE(surface.FontBold());
    for (float bad : {0.0f, -3.0f}) {
        try {
            surface.setFontSize(bad);
            ADD_FAILURE() << bad;
        } catch (const VbError& error) {
            EXPECT_EQ(error.number(), 380);
        }
    }
}

// Beyond the largest size the font engine's metrics turn negative, and with them the grid.
TEST(Fonts, SizesBeyondTheLargestAreRefusedOnBothDevices) {
    PrinterTestEnv env;
    ImageSurface window;
    TestPrinter printer;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (DrawingSurface* surface :
         {static_cast<DrawingSurface*>(&window), static_cast<DrawingSurface*>(&printer)}) {
        surface->setFontSize(2160);
        EXPECT_GT(surface->TextHeight(QStringLiteral("A")), 0);
        EXPECT_GT(surface->TextWidth(QStringLiteral("A")), 0);
        for (float bad : {2160.5f, 5000.0f, 1e9f, inf, nan}) {
            SCOPED_TRACE(bad);
            try {
                surface->setFontSize(bad);
                ADD_FAILURE() << "accepted";
            } catch (const VbError& error) {
                EXPECT_EQ(error.number(), 380);
            }
            EXPECT_FLOAT_EQ(surface->FontSize(), 2160);
        }
    }
}

// The grid's line height on paper is the font's height as Qt's font engine measured it at
// 600 dpi (the values below are Qt's): the printer measures without the GUI, and must not move
// a line of any report.
TEST(Fonts, PrinterMeasuresAsQtsFontEngine) {
    // Name, points, bold: twips from the top of one line to the next.
    const std::tuple<const char*, float, bool, float> cases[] = {
        {"Courier New", 10, false, 225.6375f},         {"Courier New", 7.5f, true, 171.3f},
        {"Liberation Mono", 12, false, 271.875f},      {"DejaVu Sans Mono", 9, false, 209.5125f},
        {"WenQuanYi Micro Hei", 11, false, 258.8625f},
    };
    PrinterTestEnv env;
    for (const auto& [name, points, bold, twips] : cases) {
        SCOPED_TRACE(name);
        TestPrinter printer;
        printer.setFontName(QString::fromUtf8(name));
        printer.setFontSize(points);
        printer.setFontBold(bold);
        EXPECT_FLOAT_EQ(printer.TextHeight(QStringLiteral("A")), twips);
    }
}
