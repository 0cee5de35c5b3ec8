#pragma once

#include <QString>
#include <array>
#include <vector>

#include "text/BidiRuns.h"
#include "text/GlyphRun.h"

#include <hb.h>

namespace zel {

class FontSet;

// Lays a text out once, in one font, into the glyph runs that the window and the printer both
// draw. Characters the font lacks take the glyphs of the first fallback font that has them
// (fontconfig's order); each stretch of one script and face is shaped (HarfBuzz); right-to-left
// stretches are shown reversed in the cells they take. In a fixed-pitch font the text holds to
// the character grid: a character of Latin, Greek, Cyrillic or the East Asian scripts takes one
// cell (the width of "A"), an East Asian wide one two, a combining mark none, and a glyph wider
// than its cells is scaled down to them, a narrower one starts at their left edge (as terminals
// draw; centred, readers of the PDF's text would take the gap before it for a space). A stretch
// of any other script, or of emoji, is placed whole at its shaped widths in the whole cells it
// needs. A proportional font keeps its glyphs' own widths. Positions are twips.
class TextLayout {
public:
    // The font: the family it resolved to, bold or not, its size in points. VbError 482 when
    // no font file can be found for it.
    TextLayout(const QString& family, bool bold, double points);
    ~TextLayout();
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    // The text laid out. The result is the layout's own: valid until the next call.
    const LaidOutText& layout(const QString& text);
    // Twips the text advances, as layout() gives it; may lay the text out, as layout() does.
    double width(const QString& text);
    // One cell of the grid in twips; 0 in a proportional font, which has no grid.
    double cell() const { return cell_; }

private:
    struct Item;

    bool layOutSimple(const QString& text);
    void layOutShaped(const QString& text);
    void itemize(const QString& text, const BidiRun& run);
    double shape(const QString& text, const Item& item, bool rightToLeft, double pen);
    double placeWhole(const Item& item, const hb_glyph_info_t* infos,
                      const hb_glyph_position_t* positions, unsigned count, bool rightToLeft,
                      double pen, double twipsPerUnit);
    void drawSpaceAt(size_t runsBefore, size_t glyphsBefore, double x);
    GlyphRun& runFor(const FontFace* face, double scale, bool rightToLeft);
    void addGlyph(GlyphRun& run, uint32_t glyph, double x, double y);

    FontSet& fonts_;
    double points_;
    double cell_ = 0;
    hb_buffer_t* buffer_;
    BidiRuns bidi_;
    std::vector<Item> items_;
    std::vector<char32_t> cluster_;            // a character and its marks, while itemizing
    std::vector<hb_glyph_info_t> plainInfos_;  // glyphs placed without the shaper
    std::vector<hb_glyph_position_t> plainPositions_;
    // The font set's simple glyphs of ASCII, kept here: the set's own table is shared by every
    // context's thread and read atomically.
    static constexpr char16_t AsciiCount = 128;
    static constexpr int32_t UnknownGlyph = -2;
    std::array<int32_t, AsciiCount> asciiGlyphs_;
    LaidOutText out_;
    // The first run's x, y and clusters hold the places of this many glyphs on the grid, one a
    // cell from the text's start (what layOutSimple gives every text).
    int gridPlaces_ = 0;
    qsizetype longest_ = 0;  // the longest text laid out since the buffers were last given back
    double inkEnd_ = -1;  // where a left-to-right stretch off the grid ended short of its cells
};

}  // namespace zel
