#pragma once

#include <QByteArray>
#include <QRawFont>
#include <QString>
#include <map>
#include <vector>

namespace zel {

class PdfWriter;

// One font of a PDF job, embedded whole once per job (a TrueType or OpenType file rebuilt
// from the font's tables) and addressed by glyph number (Identity-H), with a ToUnicode map of
// the glyphs used so that the text can be extracted and searched.
class PdfFont {
public:
    // 482 when the font has no outlines a PDF can embed.
    PdfFont(const QRawFont& font, int object);

    int object() const { return object_; }  // the Type0 font's object number
    // The text as a string of glyph numbers, two bytes each, for Tj.
    void appendGlyphs(QByteArray& out, const QString& text);
    // Writes the font's objects; after the last page, when every glyph used is known.
    void write(PdfWriter& pdf) const;

private:
    uint16_t glyphFor(char32_t codePoint) {
        if (codePoint < 0x10000 && bmp_[codePoint] >= 0) return uint16_t(bmp_[codePoint]);
        const auto found = astral_.find(codePoint);
        return found != astral_.end() ? found->second : lookUp(codePoint);
    }
    uint16_t lookUp(char32_t codePoint);  // asks the font, once per character
    int width(uint16_t glyph) const;      // in 1/1000 em

    QRawFont font_;
    int object_;
    bool cff_ = false;
    int unitsPerEm_ = 1000;
    QByteArray hmtx_;
    int longMetrics_ = 0;
    std::vector<int32_t> bmp_;             // glyph of each BMP character, -1 until looked up
    std::map<uint16_t, char32_t> used_;    // glyph -> the character it was used for
    std::map<char32_t, uint16_t> astral_;  // glyphs of characters beyond the BMP
};

}  // namespace zel
