#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace zel {

class FontFace;
class PdfWriter;

// One face as a font of a PDF job, addressed by glyph number (Identity-H). At the job's end it
// is embedded once as a subset of the glyphs the job used (HarfBuzz's subsetter, the glyph
// numbers kept), with the widths of those glyphs and a ToUnicode map that gives each glyph the
// characters it was drawn for, so that the text can be extracted and searched.
class PdfFont {
public:
    // 482 when the face has no outlines a PDF can embed.
    PdfFont(const FontFace& face, int object);

    int object() const { return object_; }  // the Type0 font's object number
    // The glyph's advance in 1/1000 em as the font's widths give it; negative while unused.
    double width(uint32_t glyph) const { return glyph < widths_.size() ? widths_[glyph] : -1; }
    // Records the glyph as used with its advance: the one asked for, or without one the
    // glyph's own. Returns the advance.
    double use(uint32_t glyph, double advance);
    // True when the ToUnicode map gives the glyph exactly these characters: a glyph not mapped
    // yet is mapped to them. A glyph drawn for other characters elsewhere keeps its first ones.
    bool mapsTo(uint32_t glyph, const QChar* text, int length) {
        if (length == 1 && glyph < unicode_.size() && unicode_[glyph] == text[0].unicode())
            return true;
        return map(glyph, text, length);
    }
    // Writes the font's objects; after the last page, when every glyph used is known.
    void write(PdfWriter& pdf) const;

private:
    bool map(uint32_t glyph, const QChar* text, int length);
    QByteArray subset() const;  // the font file cut down to the used glyphs
    QByteArray subsetName() const;

    const FontFace& face_;
    int object_;
    uint32_t glyphCount_;
    std::vector<double> widths_;    // by glyph; negative while unused
    std::vector<int32_t> unicode_;  // by glyph: 0 unmapped, a character, or -1 - string index
    std::vector<QString> strings_;  // what glyphs standing for several characters give back
};

}  // namespace zel
