#include <gtest/gtest.h>

#include "surface/Fonts.h"
#include "surface/ImageSurface.h"
#include "variant/VbError.h"

using namespace zel;

TEST(Fonts, NamesWithoutAFontOrSubstituteAreRefused) {
    struct Case {
        const char* name;
        bool accepted;
    };
    const Case cases[] = {
        {"Terminal", true},        {"Courier New", true},        {"courier new", true},
        {"Liberation Mono", true}, {"Zzq Nonsense Font", false}, {"", false},
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
