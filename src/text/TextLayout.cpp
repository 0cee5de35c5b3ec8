#include "text/TextLayout.h"

#include <hb.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cmath>
#include <utility>

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

// The tab stands for blank space: one cell, drawn as the font's space on every surface.
constexpr char16_t Tab = u'\t';

// A stretch off the grid that ends a hair past whole cells (a fallback font whose own cell is a
// little wider than the report font's) is scaled into them rather than given one cell more.
constexpr double CellSlack = 0.1;

bool isSharedScript(hb_script_t script) {
    return script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED ||
           script == HB_SCRIPT_UNKNOWN;
}

// An invisible format character (a joiner, a zero-width space, a soft hyphen): the shaper hides
// it whether or not the face has a glyph for it.
bool isInvisible(char32_t c) {
    return u_hasBinaryProperty(UChar32(c), UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
}

// Scripts whose characters each keep their cells of the grid: alphabets of one glyph a letter
// and the East Asian ones, as terminals show them.
bool isGridScript(hb_script_t script) {
    switch (script) {
        case HB_SCRIPT_LATIN:
        case HB_SCRIPT_GREEK:
        case HB_SCRIPT_CYRILLIC:
        case HB_SCRIPT_HAN:
        case HB_SCRIPT_HIRAGANA:
        case HB_SCRIPT_KATAKANA:
        case HB_SCRIPT_HANGUL:
        case HB_SCRIPT_BOPOMOFO:
            return true;
        default:
            return isSharedScript(script);
    }
}

// A character whose glyph is its face's nominal glyph, placed without shaping: scripts that
// neither join, reorder nor stack, and Hangul only as whole syllables.
bool isPlain(char32_t c, hb_script_t script) {
    if (script == HB_SCRIPT_HANGUL) return c >= 0xAC00 && c <= 0xD7A3;
    return isGridScript(script) && cellsOf(c) > 0;
}

// The glyphs [first, last) of one cluster of a shaped stretch, and its characters [start, end):
// up to the next cluster in reading order (the one to its right, or to its left right to left).
struct ClusterSpan {
    unsigned last;
    int start;
    int end;
};

ClusterSpan clusterAt(const hb_glyph_info_t* infos, unsigned count, unsigned first, int itemEnd,
                      bool rightToLeft) {
    ClusterSpan span{first, int(infos[first].cluster), itemEnd};
    while (span.last < count && int(infos[span.last].cluster) == span.start) ++span.last;
    if (!rightToLeft && span.last < count) span.end = int(infos[span.last].cluster);
    if (rightToLeft && first > 0) span.end = int(infos[first - 1].cluster);
    return span;
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
    asciiGlyphs_.fill(UnknownGlyph);
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
        gridPlaces_ = 0;
    }
    longest_ = std::max(longest_, text.size());
    out_.start(text, points_);
    if (!layOutSimple(text)) {
        out_.start(text, points_);
        gridPlaces_ = 0;  // the first run's arrays take other places now
        // A tab is shaped as the space it shows; the text keeps its tab.
        if (text.contains(QChar(Tab))) {
            QString blank = text;
            blank.replace(QChar(Tab), QChar(u' '));
            layOutShaped(blank);
        } else {
            layOutShaped(text);
        }
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
    // Every line of a report passes here: the glyphs are found first, so that a text that needs
    // the general way stops before the rest is filled. The places of the cells and clusters are
    // the same for every text: those the run holds from the texts before are kept.
    GlyphRun& run = out_.addRun(&fonts_.main(), 1, false, true);
    run.glyphs.resize(size_t(length));
    uint32_t* glyphs = run.glyphs.data();
    const QChar* chars = text.constData();
    for (int i = 0; i < length; ++i) {
        const char16_t c = chars[i].unicode();
        int32_t glyph = c < AsciiCount ? asciiGlyphs_[c] : UnknownGlyph;
        if (glyph == UnknownGlyph) {
            glyph = fonts_.simpleGlyph(c);
            if (c < AsciiCount) asciiGlyphs_[c] = glyph;
        }
        if (glyph < 0) return false;
        glyphs[i] = uint32_t(glyph);
    }
    const int kept = std::min(gridPlaces_, length);
    run.x.resize(size_t(length));
    if (kept == 0)
        run.y.assign(size_t(length), 0);
    else
        run.y.resize(size_t(length));  // zeros, as those kept
    run.clusters.resize(size_t(length));
    double* x = run.x.data();
    GlyphCluster* clusters = run.clusters.data();
    const double cell = cell_;
    for (int i = kept; i < length; ++i) {
        x[i] = i * cell;
        clusters[i] = {i, 1, i, 1, (i + 1) * cell};
    }
    gridPlaces_ = length;
    run.evenAdvance = cell;
    out_.width_ = length * cell;
    return true;
}

void TextLayout::layOutShaped(const QString& text) {
    double pen = 0;
    for (const BidiRun& run : bidi_.of(text)) {
        itemize(text, run);
        // A right-to-left run shows its last stretch leftmost.
        if (run.rightToLeft) std::reverse(items_.begin(), items_.end());
        for (const Item& item : items_) {
            const double inkEnd = std::exchange(inkEnd_, -1);
            const size_t runs = out_.count_;
            const size_t glyphs = runs ? out_.runs_[runs - 1].glyphs.size() : 0;
            pen = shape(text, item, run.rightToLeft, pen);
            if (inkEnd >= 0 && !run.rightToLeft && text[item.start] == u' ')
                drawSpaceAt(runs, glyphs, inkEnd);
        }
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
        // An invisible format character stays too, whether or not the face has it: the shaper
        // hides it, and it must not start a stretch of its own.
        const bool attached = current && mark && (current->face->glyph(c) != 0 || isInvisible(c));
        hb_script_t script = hb_unicode_script(unicode, c);
        // A word off the grid stays in the face it started in wherever that face has its letters:
        // fontconfig may order a font that has a few of a script's letters before the script's own.
        const bool word = !isGridScript(script);
        const bool continues =
            word && !mark && current && current->script == script && current->face->glyph(c) != 0;
        const FontFace* face = attached || continues ? current->face : fonts_.faceFor(c);
        // A character with marks its face lacks takes a face that has them all, if one does; the
        // first letter of a word off the grid one that has the whole word.
        if (face && !mark && !continues) {
            cluster_.assign(1, c);
            for (int next = i; next < end;) {
                const char32_t following = codePointAt(text, next);
                if (cellsOf(following) != 0 &&
                    !(word && hb_unicode_script(unicode, following) == script))
                    break;
                cluster_.push_back(following);
            }
            const bool lacking =
                std::any_of(cluster_.begin() + 1, cluster_.end(),
                            [face](char32_t m) { return face->glyph(m) == 0 && !isInvisible(m); });
            if (lacking) {
                if (const FontFace* all = fonts_.faceForAll(cluster_)) face = all;
            }
        }
        if (!face) face = &fonts_.main();
        // Emoji are shaped: sequences, skin tones and flags are one glyph of the emoji font.
        const bool plain = isPlain(c, script) && !face->colour();
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
        // Invisible format characters (joiners, a zero-width space, a soft hyphen) draw no glyph
        // and join the cluster before them, after they have done their part in the shaping.
        hb_buffer_set_flags(buffer_, HB_BUFFER_FLAG_REMOVE_DEFAULT_IGNORABLES);
        hb_buffer_set_direction(buffer_, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_set_script(buffer_, item.script);
        hb_buffer_set_language(buffer_, hb_language_get_default());
        hb_shape(item.face->shaper(), buffer_, nullptr, 0);
        infos = hb_buffer_get_glyph_infos(buffer_, &count);
        positions = hb_buffer_get_glyph_positions(buffer_, nullptr);
    }
    const double twipsPerUnit = points_ * TwipsPerPoint / item.face->unitsPerEm();
    if (cell_ > 0 && (!isGridScript(item.script) || item.face->colour()))
        return placeWhole(item, infos, positions, count, rightToLeft, pen, twipsPerUnit);

    for (unsigned first = 0; first < count;) {
        const ClusterSpan cluster = clusterAt(infos, count, first, item.end, rightToLeft);
        const unsigned last = cluster.last;
        int natural = 0;
        for (unsigned g = first; g < last; ++g) natural += positions[g].x_advance;

        const double width = natural * twipsPerUnit;
        double span = width, scale = 1;
        if (cell_ > 0) {
            span = cellsIn(text, cluster.start, cluster.end) * cell_;
            // In hundredths, so that the clusters of a word in one font share one run.
            if (span > 0 && width > span * 1.0001)
                scale = std::max(0.01, std::floor(span / width * 100) / 100);
        }
        GlyphRun& run = runFor(item.face, scale, rightToLeft);
        run.clusters.push_back({cluster.start, cluster.end - cluster.start, int(run.glyphs.size()),
                                int(last - first), pen + span});
        // A mark drawn apart from its character (another font has it) sits over the cell
        // before: a font with marks as wide as a cell draws them inside that width.
        const bool detached = cell_ > 0 && span == 0;
        int local = 0;
        for (unsigned g = first; g < last; ++g) {
            const int back = detached ? item.face->advance(infos[g].codepoint) : 0;
            addGlyph(run, infos[g].codepoint,
                     pen + (local - back + positions[g].x_offset) * twipsPerUnit * scale,
                     -positions[g].y_offset * twipsPerUnit * scale);
            local += positions[g].x_advance;
        }
        pen += span;
        first = last;
    }
    return pen;
}

// A stretch off the grid is one piece: its glyphs keep their shaped advances at one size, so no
// glyph shrinks on its own and no word gets holes. It takes the whole cells its width needs, so
// that what follows it stays on the grid; it starts where its reader starts (the left cell, or
// the right one right to left).
double TextLayout::placeWhole(const Item& item, const hb_glyph_info_t* infos,
                              const hb_glyph_position_t* positions, unsigned count,
                              bool rightToLeft, double pen, double twipsPerUnit) {
    int natural = 0;
    for (unsigned g = 0; g < count; ++g) natural += positions[g].x_advance;
    const double width = natural * twipsPerUnit;
    const double span = width > 0 ? std::max(1.0, std::ceil(width / cell_ - CellSlack)) * cell_ : 0;
    double scale = 1;
    if (width > span * 1.0001) scale = std::floor(span / width * 100) / 100;
    const double start = pen + (rightToLeft ? span - width * scale : 0);
    const double unit = twipsPerUnit * scale;
    GlyphRun& run = runFor(item.face, scale, rightToLeft);
    int local = 0;
    for (unsigned first = 0; first < count;) {
        const ClusterSpan cluster = clusterAt(infos, count, first, item.end, rightToLeft);
        const int firstGlyph = int(run.glyphs.size());
        for (unsigned g = first; g < cluster.last; ++g) {
            addGlyph(run, infos[g].codepoint, start + (local + positions[g].x_offset) * unit,
                     -positions[g].y_offset * unit);
            local += positions[g].x_advance;
        }
        // The last cluster reaches the end of the cells, as a cluster on the grid does.
        const double end = cluster.last == count ? pen + span : start + local * unit;
        run.clusters.push_back({cluster.start, cluster.end - cluster.start, firstGlyph,
                                int(cluster.last - first), end});
        first = cluster.last;
    }
    if (!rightToLeft && start + width * scale < pen + span - 1) inkEnd_ = start + width * scale;
    return pen + span;
}

// The space after a word that ends short of its cells is drawn where the word's ink ends, its
// cell moved with it: readers of the PDF's text take a gap after a word for a space of its own,
// and would read two. Blank, it looks the same anywhere.
void TextLayout::drawSpaceAt(size_t runsBefore, size_t glyphsBefore, double x) {
    if (runsBefore > 0 && out_.runs_[runsBefore - 1].glyphs.size() == glyphsBefore) {
        ++runsBefore;
        glyphsBefore = 0;
    }
    if (runsBefore == 0 || runsBefore > out_.count_) return;
    GlyphRun& run = out_.runs_[runsBefore - 1];
    if (glyphsBefore >= run.glyphs.size()) return;
    const double shift = run.x[glyphsBefore] - x;
    run.x[glyphsBefore] = x;
    for (GlyphCluster& cluster : run.clusters) {
        if (cluster.firstGlyph == int(glyphsBefore)) cluster.end -= shift;
    }
}

GlyphRun& TextLayout::runFor(const FontFace* face, double scale, bool rightToLeft) {
    GlyphRun* run = out_.last();
    if (!run || run->face != face || run->scale != scale || run->rightToLeft != rightToLeft)
        run = &out_.addRun(face, scale, rightToLeft);
    return *run;
}

void TextLayout::addGlyph(GlyphRun& run, uint32_t glyph, double x, double y) {
    run.glyphs.push_back(glyph);
    if (glyph == 0) out_.missing_ = true;
    run.x.push_back(x);
    run.y.push_back(y);
}

}  // namespace zel
