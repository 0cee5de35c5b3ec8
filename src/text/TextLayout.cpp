#include "text/TextLayout.h"

#include <hb.h>

#include <algorithm>
#include <cmath>

#include "text/CharacterCells.h"
#include "text/FontFace.h"
#include "text/FontSet.h"

namespace zel {

namespace {

constexpr double TwipsPerPoint = 20;

char32_t codePointAt(const QString& text, int& i) {
    const QChar* chars = text.constData();
    char32_t c = chars[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && chars[i + 1].isLowSurrogate()) {
        c = QChar::surrogateToUcs4(chars[i], chars[i + 1]);
        ++i;
    }
    ++i;
    return c;
}

int cellsIn(const QString& text, int start, int end) {
    int cells = 0;
    for (int i = start; i < end;) cells += cellsOf(codePointAt(text, i));
    return cells;
}

bool isSharedScript(hb_script_t script) {
    return script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED ||
           script == HB_SCRIPT_UNKNOWN;
}

// A character whose glyph is its face's nominal glyph, placed without shaping: scripts that
// neither join, reorder nor stack, and Hangul only as whole syllables.
bool isPlain(char32_t c, hb_script_t script) {
    switch (script) {
        case HB_SCRIPT_COMMON:
        case HB_SCRIPT_LATIN:
        case HB_SCRIPT_GREEK:
        case HB_SCRIPT_CYRILLIC:
        case HB_SCRIPT_HAN:
        case HB_SCRIPT_HIRAGANA:
        case HB_SCRIPT_KATAKANA:
            return cellsOf(c) > 0;
        case HB_SCRIPT_HANGUL:
            return c >= 0xAC00 && c <= 0xD7A3;
        default:
            return false;
    }
}

}  // namespace

// A stretch of one face and script within a directional run: UTF-16 units [start, end).
struct TextLayout::Item {
    int start;
    int end;
    const FontFace* face;
    hb_script_t script;
    bool plain;  // every character isPlain
};

TextLayout::TextLayout(const QString& family, bool bold, double points)
    : fonts_(FontSet::forFamily(family, bold)), points_(points), buffer_(hb_buffer_create()) {
    const FontFace& main = fonts_.main();
    if (main.fixedPitch()) {
        const uint32_t a = main.glyph('A');
        const int units = a ? main.advance(a) : main.unitsPerEm() / 2;
        cell_ = units * points_ * TwipsPerPoint / main.unitsPerEm();
    }
}

TextLayout::~TextLayout() {
    hb_buffer_destroy(buffer_);
}

const LaidOutText& TextLayout::layout(const QString& text) {
    // Buffers grown for a long text are given back before a short one, so that a line of a
    // million characters leaves no hundred megabytes behind in every context that printed one.
    constexpr qsizetype KeptLength = 65536;
    if (text.size() <= KeptLength && longest_ > KeptLength) {
        out_.runs_ = {};
        out_.count_ = 0;
        items_ = {};
        cluster_ = {};
        plainInfos_ = {};
        plainPositions_ = {};
        hb_buffer_destroy(buffer_);
        buffer_ = hb_buffer_create();
        longest_ = 0;
    }
    longest_ = std::max(longest_, text.size());
    out_.start(text, points_);
    if (!layOutSimple(text)) {
        out_.start(text, points_);
        layOutShaped(text);
    }
    return out_;
}

double TextLayout::width(const QString& text) {
    if (cell_ > 0) {
        const QChar* chars = text.constData();
        const bool simple = std::all_of(chars, chars + text.size(), [this](QChar c) {
            return fonts_.simpleGlyph(c.unicode()) >= 0;
        });
        if (simple) return double(text.size()) * cell_;
    }
    return layout(text).width();
}

// The fast path: a text whose every character is a cached glyph of the main face, one a cell.
bool TextLayout::layOutSimple(const QString& text) {
    if (cell_ <= 0) return false;
    const int length = int(text.size());
    if (length == 0) return true;  // no glyphs, no run
    GlyphRun& run = out_.addRun(&fonts_.main(), 1, false);
    run.glyphs.resize(size_t(length));
    run.x.resize(size_t(length));
    run.y.assign(size_t(length), 0);
    run.clusters.resize(size_t(length));
    const QChar* chars = text.constData();
    for (int i = 0; i < length; ++i) {
        const int32_t glyph = fonts_.simpleGlyph(chars[i].unicode());
        if (glyph < 0) return false;
        run.glyphs[size_t(i)] = uint32_t(glyph);
        run.x[size_t(i)] = i * cell_;
        run.clusters[size_t(i)] = {i, 1, i, 1, (i + 1) * cell_};
    }
    run.evenAdvance = cell_;
    out_.width_ = length * cell_;
    return true;
}

void TextLayout::layOutShaped(const QString& text) {
    double pen = 0;
    for (const BidiRun& run : bidi_.of(text)) {
        itemize(text, run);
        // A right-to-left run shows its last stretch leftmost.
        if (run.rightToLeft) std::reverse(items_.begin(), items_.end());
        for (const Item& item : items_) pen = shape(text, item, run.rightToLeft, pen);
    }
    out_.width_ = pen;
}

void TextLayout::itemize(const QString& text, const BidiRun& run) {
    items_.clear();
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    const int end = run.start + run.length;
    for (int i = run.start; i < end;) {
        const int start = i;
        const char32_t c = codePointAt(text, i);
        Item* current = items_.empty() ? nullptr : &items_.back();
        // A mark or joiner stays with the character it belongs to where that face has it; a
        // character no font has is drawn as the main face's missing-glyph box.
        const bool mark = cellsOf(c) == 0;
        const bool attached = current && mark && current->face->glyph(c) != 0;
        const FontFace* face = attached ? current->face : fonts_.faceFor(c);
        // A character with marks its face lacks takes a face that has them all, if one does.
        if (face && !mark) {
            cluster_.assign(1, c);
            for (int next = i; next < end;) {
                const char32_t following = codePointAt(text, next);
                if (cellsOf(following) != 0) break;
                cluster_.push_back(following);
            }
            const bool lacking = std::any_of(cluster_.begin() + 1, cluster_.end(),
                                             [face](char32_t m) { return face->glyph(m) == 0; });
            if (lacking) {
                if (const FontFace* all = fonts_.faceForAll(cluster_)) face = all;
            }
        }
        if (!face) face = &fonts_.main();
        hb_script_t script = hb_unicode_script(unicode, c);
        const bool plain = isPlain(c, script);
        if (current && current->face == face &&
            (isSharedScript(script) || script == current->script ||
             isSharedScript(current->script))) {
            if (!isSharedScript(script)) current->script = script;
            current->end = i;
            current->plain = current->plain && plain;
            continue;
        }
        if (isSharedScript(script) && current) script = current->script;
        items_.push_back({start, i, face, script, plain});
    }
}

double TextLayout::shape(const QString& text, const Item& item, bool rightToLeft, double pen) {
    unsigned count = 0;
    const hb_glyph_info_t* infos = nullptr;
    const hb_glyph_position_t* positions = nullptr;
    if (item.plain && !rightToLeft && cell_ > 0) {
        // On the grid a plain character's glyph is the face's own, one a cluster: the shaper
        // would find the same at many times the cost.
        plainInfos_.clear();
        plainPositions_.clear();
        for (int i = item.start; i < item.end;) {
            hb_glyph_info_t info{};
            info.cluster = uint32_t(i);
            info.codepoint = item.face->glyph(codePointAt(text, i));
            hb_glyph_position_t position{};
            position.x_advance = item.face->advance(info.codepoint);
            plainInfos_.push_back(info);
            plainPositions_.push_back(position);
        }
        count = unsigned(plainInfos_.size());
        infos = plainInfos_.data();
        positions = plainPositions_.data();
    } else {
        hb_buffer_clear_contents(buffer_);
        hb_buffer_add_utf16(buffer_, reinterpret_cast<const uint16_t*>(text.utf16()),
                            int(text.size()), unsigned(item.start), item.end - item.start);
        hb_buffer_set_direction(buffer_, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_set_script(buffer_, item.script);
        hb_buffer_set_language(buffer_, hb_language_get_default());
        hb_shape(item.face->shaper(), buffer_, nullptr, 0);
        infos = hb_buffer_get_glyph_infos(buffer_, &count);
        positions = hb_buffer_get_glyph_positions(buffer_, nullptr);
    }
    const double twipsPerUnit = points_ * TwipsPerPoint / item.face->unitsPerEm();

    for (unsigned first = 0; first < count;) {
        // One cluster: the glyphs that share a cluster value; its characters run up to the
        // next cluster in reading order (the one to its right, or to its left right to left).
        const int clusterStart = int(infos[first].cluster);
        unsigned last = first;
        int natural = 0;
        while (last < count && int(infos[last].cluster) == clusterStart)
            natural += positions[last++].x_advance;
        int clusterEnd = item.end;
        if (!rightToLeft && last < count) clusterEnd = int(infos[last].cluster);
        if (rightToLeft && first > 0) clusterEnd = int(infos[first - 1].cluster);

        const double width = natural * twipsPerUnit;
        double span = width, scale = 1;
        if (cell_ > 0) {
            span = cellsIn(text, clusterStart, clusterEnd) * cell_;
            // In hundredths, so that the clusters of a word in one font share one run.
            if (span > 0 && width > span * 1.0001)
                scale = std::max(0.01, std::floor(span / width * 100) / 100);
        }
        GlyphRun* run = out_.last();
        if (!run || run->face != item.face || run->scale != scale ||
            run->rightToLeft != rightToLeft)
            run = &out_.addRun(item.face, scale, rightToLeft);
        run->clusters.push_back({clusterStart, clusterEnd - clusterStart, int(run->glyphs.size()),
                                 int(last - first), pen + span});
        // A mark drawn apart from its character (another font has it) sits over the cell
        // before: a font with marks as wide as a cell draws them inside that width.
        const bool detached = cell_ > 0 && span == 0;
        int local = 0;
        for (unsigned g = first; g < last; ++g) {
            const int back = detached ? item.face->advance(infos[g].codepoint) : 0;
            run->glyphs.push_back(infos[g].codepoint);
            if (infos[g].codepoint == 0) out_.missing_ = true;
            run->x.push_back(pen + (local - back + positions[g].x_offset) * twipsPerUnit * scale);
            run->y.push_back(-positions[g].y_offset * twipsPerUnit * scale);
            local += positions[g].x_advance;
        }
        pen += span;
        first = last;
    }
    return pen;
}

}  // namespace zel
