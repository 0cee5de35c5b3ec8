#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

#include <hb.h>

namespace zel {

class FontFace;
class PdfWriter;

// One face as a font of a PDF job, addressed by glyph number (Identity-H). At the job's end it
// is embedded once as a subset of the glyphs the job used (HarfBuzz's subsetter, the glyph
// numbers kept), with the widths of those glyphs and a ToUnicode map that gives each glyph the
// characters it was drawn for, so that the text can be extracted and searched.
//
// A map entry belongs to a code, not to a glyph: where one glyph must give back other characters
// than its entry says (the missing-glyph box, drawn for any character; a glyph drawn for other
// characters before), the font gives it a second code above the face's glyph numbers, which the
// CIDToGIDMap sends to the same glyph, with an entry of its own. Codes below the face's glyph
// count are its glyph numbers. A CFF face has no such map: it keeps one code a glyph.
class PdfFont {
public:
    // 482 when the face has no outlines a PDF can embed.
    PdfFont(const FontFace& face, int object);

    int object() const { return object_; }  // the Type0 font's object number
    // The code's advance in 1/1000 em as the font's widths give it; negative while unused.
    double width(uint32_t code) const { return code < widths_.size() ? widths_[code] : -1; }
    // Records the code as used with its advance: the one asked for, or without one its
    // glyph's own. Returns the advance.
    double use(uint32_t code, double advance);
    // True when the ToUnicode map gives the glyph exactly these characters: a glyph not mapped
    // yet is mapped to them. A glyph drawn for other characters elsewhere keeps its first ones.
    bool mapsTo(uint32_t glyph, const QChar* text, int length) {
        if (length == 1 && glyph < unicode_.size() && unicode_[glyph] == text[0].unicode())
            return true;
        return map(glyph, text, length);
    }
    // A code that draws the glyph and gives back exactly these characters: the glyph's own
    // number where its entry is these characters or it has none yet, else a code of its own;
    // NoCode when the font has no room for one (or no map for codes, being CFF).
    static constexpr uint32_t NoCode = UINT32_MAX;
    uint32_t code(uint32_t glyph, const QChar* text, int length) {
        // The missing-glyph box is drawn for any character: its own number gives none.
        if (glyph != 0 && glyph < glyphCount_ && mapsTo(glyph, text, length)) return glyph;
        return alias(glyph, text, length);
    }
    // The codes of a cluster of several glyphs (given in the order they are written), such that
    // the map entries, taken in that order, give the cluster's characters: readers that know
    // nothing but the map (MuPDF) read an Indic vowel drawn before its consonant after it. A
    // glyph that is a character's own glyph keeps its number where that reads right; else the
    // characters are dealt out over the glyphs in even shares (one each at least), in canonical
    // decomposition where a vowel of two parts has more glyphs than characters. Where even that
    // has too few characters the glyphs keep their numbers.
    void clusterCodes(const uint32_t* glyphs, int count, const QChar* text, int length,
                      uint32_t* codes);
    // A code that draws the same glyph and gives back the same characters as this one, with the
    // advance asked for (1/1000 em): the code itself where its width is that or not set yet,
    // else a code of its own. Readers of the text measure gaps with the widths: a word's last
    // glyph that reaches the end of its cells leaves none they would take for a space.
    uint32_t codeWithAdvance(uint32_t code, double advance);
    // Writes the font's objects; after the last page, when every glyph used is known.
    void write(PdfWriter& pdf) const;

private:
    bool map(uint32_t glyph, const QChar* text, int length);
    uint32_t alias(uint32_t glyph, const QChar* text, int length);  // a code of its own
    // The length of the code's entry where the text starts with it; -1 otherwise.
    int entryPrefix(uint32_t code, const QChar* text, int length) const;
    uint32_t glyphOf(uint32_t code) const {
        return code < glyphCount_ ? code : aliases_[code - glyphCount_];
    }
    QByteArray subset() const;  // the font file cut down to the used glyphs
    // The subset's hhea and hmtx with the advances the job drew each glyph with; none where the
    // subset's own do not read right. Readers that measure the text by the font file's advances,
    // not the PDF's widths (MuPDF), take the gap after a glyph drawn wider than its own advance
    // (an ideograph over two cells) for a space.
    std::map<hb_tag_t, QByteArray> advances(hb_face_t* subset) const;
    QByteArray subsetName() const;

    const FontFace& face_;
    int object_;
    uint32_t glyphCount_;
    std::vector<double> widths_;     // by code; negative while unused
    std::vector<int32_t> unicode_;   // by code: 0 unmapped, a character, or -1 - string index
    std::vector<QString> strings_;   // what glyphs standing for several characters give back
    std::vector<uint32_t> aliases_;  // the glyph of each code from glyphCount_ on
    // Those codes by a hash of their glyph and characters.
    std::unordered_multimap<size_t, uint32_t> aliasIndex_;
    // Codes of codeWithAdvance by the code and the advance in whole thousandths.
    std::map<std::pair<uint32_t, long long>, uint32_t> widened_;
};

}  // namespace zel
