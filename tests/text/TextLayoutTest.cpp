#include <gtest/gtest.h>

#include <QFontInfo>
#include <algorithm>
#include <cmath>

#include "text/FontFace.h"
#include "text/TextLayout.h"

using namespace zel;

namespace {

// Courier New as the surfaces resolve it, at 10 points: a cell is 0.6 em, 120 twips.
TextLayout courier() {
    return TextLayout(QFontInfo(QFont(QStringLiteral("Courier New"))).family(), false, 10);
}

std::vector<uint32_t> glyphsOf(const LaidOutText& text) {
    std::vector<uint32_t> glyphs;
    for (const GlyphRun& run : text)
        glyphs.insert(glyphs.end(), run.glyphs.begin(), run.glyphs.end());
    return glyphs;
}

}  // namespace

TEST(TextLayout, CharactersTakeTheirCellsOfTheGrid) {
    struct Case {
        const char* text;
        int cells;
    };
    const Case cases[] = {
        {"", 0},
        {"A", 1},
        {"Grid 0123", 9},
        {"文档", 4},            // East Asian wide: two cells each
        {"ｱＡ", 3},             // halfwidth katakana one, fullwidth Latin two
        {"e\u0301x\u0302", 2},  // combining marks take none
        {"a\u200Db", 2},        // nor does a joiner
        {"שלום", 4},            // right to left, one a character
        {"مرحبا", 5},           // joined, still one a character
        {"┌──┐", 4},
        {"a\U0001D11Eb", 3},  // beyond the BMP, one cell (a fallback font or the box)
    };
    TextLayout layout = courier();
    ASSERT_NEAR(layout.cell(), 120, 0.5);
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        SCOPED_TRACE(c.text);
        EXPECT_NEAR(layout.width(text), c.cells * layout.cell(), 1e-6);
        EXPECT_NEAR(layout.layout(text).width(), c.cells * layout.cell(), 1e-6);
    }
}

TEST(TextLayout, FallbackGlyphsStayInsideTheirCells) {
    TextLayout layout = courier();
    const LaidOutText& text = layout.layout(QString::fromUtf8("ab文档cd"));
    int runs = 0;
    for (const GlyphRun& run : text) {
        ++runs;
        for (const GlyphCluster& cluster : run.clusters) {
            const double start = run.x[size_t(cluster.firstGlyph)];
            const double width = cluster.end - start;
            // Each cluster starts on a cell boundary and ends on one.
            EXPECT_NEAR(std::fmod(start, layout.cell()), 0, 1e-6);
            EXPECT_NEAR(std::fmod(width, layout.cell()), 0, 1e-6);
        }
    }
    EXPECT_EQ(runs, 3);  // the main font, the CJK font, the main font again
}

TEST(TextLayout, ArabicIsJoinedAndShownRightToLeft) {
    TextLayout layout = courier();
    const QString word = QString::fromUtf8("مرحبا");
    std::vector<uint32_t> isolated;
    for (const QChar c : word) isolated.push_back(glyphsOf(layout.layout(QString(c))).front());
    const LaidOutText& text = layout.layout(word);
    const std::vector<uint32_t> joined = glyphsOf(text);
    ASSERT_EQ(joined.size(), isolated.size());
    // Left to right on paper the word reads from its last letter; the letters that join take
    // other forms than they have alone.
    std::vector<uint32_t> reversedIsolated(isolated.rbegin(), isolated.rend());
    int differing = 0;
    for (size_t i = 0; i < joined.size(); ++i) differing += joined[i] != reversedIsolated[i];
    EXPECT_GE(differing, 3);
    ASSERT_NE(text.begin(), text.end());
    EXPECT_TRUE(text.begin()->rightToLeft);
    EXPECT_EQ(text.begin()->clusters.front().textStart, 4);  // the last letter, leftmost
}

TEST(TextLayout, CharacterNoFontHasIsTheMissingGlyphInOneCell) {
    TextLayout layout = courier();
    const LaidOutText& text = layout.layout(QString(QChar(0x0378)));  // unassigned
    ASSERT_EQ(glyphsOf(text), std::vector<uint32_t>{0});
    EXPECT_NEAR(text.width(), layout.cell(), 1e-6);
}

// Words of scripts that do not sit on the grid, and emoji: every glyph at one size (a glyph was
// shrunk on its own to its cells, Tamil "கொ" to a quarter), the word whole (lam-alef left an
// empty cell, narrow Hebrew letters a hole after them), whole cells for what follows.
TEST(TextLayout, WordsOffTheGridKeepOneSizeAndNoHoles) {
    struct Case {
        const char* text;
        int glyphs;  // 0: not checked
    };
    const Case cases[] = {
        {"हिन्दी", 0},    {"আমার সোনার বাংলা", 0},
        {"வணக்கம் கொ", 0}, {"ผู้ใหญ่", 0},
        {"ភាសា", 0},     {"السلام", 5},
        {"שלום", 4},     {"עוֹלָם", 0},
        {"👍🏽", 1}, {"👨‍👩‍👧", 1},
        {"🇳🇱", 1},
    };
    TextLayout layout = courier();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const LaidOutText& text = layout.layout(QString::fromUtf8(c.text));
        const double cells = text.width() / layout.cell();
        EXPECT_NEAR(cells, std::round(cells), 1e-6);
        if (c.glyphs) {
            EXPECT_EQ(glyphsOf(text).size(), size_t(c.glyphs));
        }
        double scale = -1;
        for (const GlyphRun& run : text) {
            if (scale < 0) scale = run.scale;
            EXPECT_EQ(run.scale, scale);
            EXPECT_GE(run.scale, 0.9);
            // Each cluster ends where the next one starts: no cell left empty inside a word.
            for (size_t i = 1; i < run.clusters.size(); ++i) {
                const GlyphCluster& next = run.clusters[i];
                double left = run.x[size_t(next.firstGlyph)];
                for (int g = 1; g < next.glyphCount; ++g)
                    left = std::min(left, run.x[size_t(next.firstGlyph + g)]);
                EXPECT_LE(left - run.clusters[i - 1].end, 0.05 * layout.cell());
            }
        }
    }
}

// Invisible format characters take no cell and draw nothing, in the font of the text around
// them; a tab is blank, one cell.
TEST(TextLayout, InvisibleCharactersAndTabsStayInTheLine) {
    struct Case {
        const char* text;
        int cells;
        int glyphs;
    };
    const Case cases[] = {
        {"a\u200Bb", 2, 2},    // zero-width space
        {"co\u00ADop", 4, 4},  // soft hyphen
        {"a\tb", 3, 3},
    };
    TextLayout layout = courier();
    const uint32_t space = glyphsOf(layout.layout(QStringLiteral(" "))).front();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const LaidOutText& text = layout.layout(QString::fromUtf8(c.text));
        EXPECT_NEAR(text.width(), c.cells * layout.cell(), 1e-6);
        const std::vector<uint32_t> glyphs = glyphsOf(text);
        EXPECT_EQ(glyphs.size(), size_t(c.glyphs));
        EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), 0u), 0);
        for (const GlyphRun& run : text) EXPECT_EQ(run.face, text.begin()->face);
        if (QString::fromUtf8(c.text).contains(u'\t')) {
            EXPECT_EQ(glyphs[1], space);
        }
    }
}
