#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace zel {

class FontFace;

// The characters [textStart, textStart + textLength) of a laid-out text (UTF-16 units), drawn
// by the glyphs [firstGlyph, firstGlyph + glyphCount) of their run: what the text layer gives
// back for those glyphs.
struct GlyphCluster {
    int textStart;
    int textLength;
    int firstGlyph;
    int glyphCount;
    double end;  // twips from the text's start to the right edge of the cells it takes
};

// Glyphs of one face at one size, left to right as drawn.
struct GlyphRun {
    const FontFace* face = nullptr;
    double scale = 1;          // the glyphs' size as a share of the text's size
    bool rightToLeft = false;  // the characters read right to left
    // Twips from each glyph to the next where every cluster is one glyph for one character on
    // the baseline, each advancing the same (plain text of the main font); 0 otherwise.
    double evenAdvance = 0;
    std::vector<uint32_t> glyphs;
    std::vector<double> x;  // each glyph's origin, twips right of the text's start
    std::vector<double> y;  // twips below the baseline (a raised mark is negative)
    std::vector<GlyphCluster> clusters;  // left to right

    void clear() {
        glyphs.clear();
        x.clear();
        y.clear();
        clusters.clear();
    }
};

// A text laid out in one font: its runs left to right from the text's start on the baseline.
class LaidOutText {
public:
    const QString& text() const { return text_; }
    double points() const { return points_; }  // the text's size
    double width() const { return width_; }    // twips the print position moves past it
    // True when a character no font has is drawn as a missing-glyph box (glyph 0).
    bool hasMissingGlyphs() const { return missing_; }
    const GlyphRun* begin() const { return runs_.data(); }
    const GlyphRun* end() const { return runs_.data() + count_; }

private:
    friend class TextLayout;

    void start(const QString& text, double points) {
        text_ = text;
        points_ = points;
        width_ = 0;
        missing_ = false;
        count_ = 0;
    }
    // A new run; the buffers of earlier texts' runs are used again, and with keepArrays what
    // they hold (the caller sets every array's size and contents).
    GlyphRun& addRun(const FontFace* face, double scale, bool rightToLeft,
                     bool keepArrays = false) {
        if (count_ == runs_.size()) runs_.emplace_back();
        GlyphRun& run = runs_[count_++];
        if (!keepArrays) run.clear();
        run.face = face;
        run.scale = scale;
        run.rightToLeft = rightToLeft;
        run.evenAdvance = 0;
        return run;
    }
    GlyphRun* last() { return count_ ? &runs_[count_ - 1] : nullptr; }

    QString text_;
    double points_ = 0;
    double width_ = 0;
    bool missing_ = false;
    std::vector<GlyphRun> runs_;
    size_t count_ = 0;
};

}  // namespace zel
