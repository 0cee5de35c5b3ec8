#pragma once

#include <QString>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace zel {

class FontFace;
class PdfWriter;

// Glyphs of a colour face (emoji) as a Type 3 font of a PDF job: each glyph a procedure that
// draws the glyph's image, so that the page shows the emoji in colour and the text layer gives
// back the characters it was drawn for (a glyph's ToUnicode entry, a whole sequence for one
// glyph). Codes are one byte, so a font holds 255 glyphs; the document starts another past
// that. Written at the job's end with the images of the glyphs used.
class PdfColourFont {
public:
    PdfColourFont(const FontFace& face, int object) : face_(face), object_(object) {}

    int object() const { return object_; }  // the Type 3 font's object number
    // The glyph's code, its entry in the text layer the characters it is first drawn for (none
    // when empty); 0 when the font is full.
    uint8_t code(uint32_t glyph, const QString& text);
    // Writes the font, its glyph procedures and images; grey levels for a grey job.
    void write(PdfWriter& pdf, bool grayscale) const;

private:
    struct Glyph {
        uint32_t glyph;
        QString text;
    };
    static constexpr size_t Codes = 255;

    const FontFace& face_;
    int object_;
    std::vector<Glyph> glyphs_;  // code 1 first
    std::unordered_map<uint32_t, uint8_t> codes_;
};

}  // namespace zel
