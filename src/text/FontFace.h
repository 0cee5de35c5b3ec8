#pragma once

#include <QByteArray>
#include <cstdint>
#include <map>
#include <mutex>

#include <hb.h>

namespace zel {

// The face's table of that tag; empty when it has none.
QByteArray tableOf(hb_face_t* face, hb_tag_t tag);
// A font file made of the face's tables (the directory, then each table padded to 4 bytes),
// with the tables given in `replaced` in place of the face's own.
QByteArray sfntOf(hb_face_t* face, bool cff, const std::map<hb_tag_t, QByteArray>& replaced = {});

// One face of a font file, read once a process and shared by every layout, the window and the
// PDF writer. Metrics are font units (unitsPerEm() to the em); glyphs are the face's numbers.
class FontFace {
public:
    // The face, or nullptr when the file cannot be read as a font. A face lives until the
    // process ends, so layouts keep plain pointers to it.
    static const FontFace* load(const QByteArray& path, int index);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const QByteArray& path() const { return path_; }
    int index() const { return index_; }
    hb_face_t* face() const { return face_; }
    hb_font_t* shaper() const { return font_; }  // HarfBuzz's font, scaled to font units
    int unitsPerEm() const { return unitsPerEm_; }
    bool fixedPitch() const { return fixedPitch_; }
    bool cff() const { return cff_; }  // outlines in CFF rather than TrueType's glyf
    // Glyphs as colour images (emoji): drawn from png(), placed by extents(), never as outlines.
    bool colour() const { return colour_; }
    // The glyph's colour image as a PNG file; empty when it has none.
    QByteArray png(uint32_t glyph) const;
    // The glyph's ink box in font units: left, top (above the baseline), width, height (negative).
    hb_glyph_extents_t extents(uint32_t glyph) const;
    uint32_t glyph(char32_t c) const;  // 0, the missing-glyph box, when the face lacks it
    int advance(uint32_t glyph) const;
    QByteArray table(const char* tag) const;  // empty when the face has no such table
    bool hasTable(const char* tag) const;
    // The name a PDF gives the font: the face's PostScript name, letters, digits and '-' only.
    QByteArray postScriptName() const;
    // The face as a font file of its own, for renderers that read whole files: the file itself,
    // or for a face of a collection one rebuilt from its tables.
    QByteArray fileData() const;

private:
    FontFace(hb_blob_t* blob, const QByteArray& path, int index);

    QByteArray path_;
    int index_;
    hb_blob_t* blob_;
    hb_face_t* face_;
    hb_font_t* font_;
    int unitsPerEm_;
    bool fixedPitch_;
    bool cff_;
    bool colour_;
    mutable std::mutex fileMutex_;  // faces are shared by every print context's thread
    mutable QByteArray fileData_;
};

}  // namespace zel
