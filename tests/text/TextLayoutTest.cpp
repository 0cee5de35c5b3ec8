#include <gtest/gtest.h>

#include <QFontInfo>

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
    for (const GlyphRun& run : text) glyphs.insert(glyphs.end(), run.glyphs.begin(), run.glyphs.end());
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
        {"文档", 4},              // East Asian wide: two cells each
        {"ｱＡ", 3},               // halfwidth katakana one, fullwidth Latin two
        {"e\u0301x\u0302", 2},    // combining marks take none
        {"a\u200Db", 2},          // nor does a joiner
        {"שלום", 4},              // right to left, one a character
        {"مرحبا", 5},             // joined, still one a character
        {"┌──┐", 4},
        {"a\U0001D11Eb", 3},      // beyond the BMP, one cell (a fallback font or the box)
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
