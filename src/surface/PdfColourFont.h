#pragma once

#include <QString>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace zel {

class FontFace;
class PdfWriter;

// Glyphs of a colour face (emoji) as a Type 3 font of a PDF job: each glyph a procedure that
// draws the glyph's image, so that the page shows the emoji in colour, and the text layer gives
// back the characters it was drawn for: the glyph the first, a blank glyph of no width each of
// the others of a sequence (a map entry of several characters beyond the BMP is read as lone
// surrogates by MuPDF). Codes are one byte, so a font holds 255 glyphs and blanks; the document
// starts another past that. Written at the job's end with the images of the glyphs used.
class PdfColourFont {
public:
    PdfColourFont(const FontFace& face, int object) : face_(face), object_(object) {}

    int object() const { return object_; }  // the Type 3 font's object number
    // A glyph of no width and no ink, for a character of a sequence after its first.
    static constexpr uint32_t Blank = UINT32_MAX;

    // The code of the glyph drawn for the character (0: none); 0 when the font is full.
    uint8_t code(uint32_t glyph, char32_t character);
    // Writes the font, its glyph procedures and images; grey levels for a grey job.
    void write(PdfWriter& pdf, bool grayscale) const;

private:
    struct Glyph {
        uint32_t glyph;
        char32_t character;
    };
    static constexpr size_t Codes = 255;

    const FontFace& face_;
    int object_;
    std::vector<Glyph> glyphs_;                    // code 1 first
    std::unordered_map<uint64_t, uint8_t> codes_;  // by glyph and character
};

}  // namespace zel
