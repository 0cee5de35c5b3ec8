#include "text/FontSet.h"

#include <fontconfig/fontconfig.h>
#include <hb.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <map>

#include "text/CharacterCells.h"
#include "text/FontAnswers.h"
#include "text/FontFace.h"
#include "variant/VbError.h"

namespace zel {

struct FontSet::Candidate {
    QByteArray path;
    int index;
    FcCharSet* charset;  // owned
    bool colour;         // colour glyphs (emoji), taken only where they can be drawn as images
    const FontFace* face = nullptr;
    bool loaded = false;
};

namespace {

bool rightToLeft(char32_t c) {
    switch (u_charDirection(UChar32(c))) {
        case U_RIGHT_TO_LEFT:
        case U_RIGHT_TO_LEFT_ARABIC:
        case U_ARABIC_NUMBER:
            return true;
        default:
            return false;
    }
}

bool needsNoShaping(char32_t c) {
    switch (hb_unicode_script(hb_unicode_funcs_get_default(), c)) {
        case HB_SCRIPT_COMMON:
        case HB_SCRIPT_LATIN:
        case HB_SCRIPT_GREEK:
        case HB_SCRIPT_CYRILLIC:
            return true;
        default:
            return false;
    }
}

// Characters shown as emoji by default, or that only make sense as parts of emoji (skin tones,
// the letters of flags): taken from a colour font where one has them.
bool prefersEmoji(char32_t c) {
    const UChar32 code = UChar32(c);
    return u_hasBinaryProperty(code, UCHAR_EMOJI_PRESENTATION) ||
           u_hasBinaryProperty(code, UCHAR_EMOJI_MODIFIER) ||
           u_hasBinaryProperty(code, UCHAR_REGIONAL_INDICATOR);
}

}  // namespace

FontSet& FontSet::forFamily(const QString& family, bool bold) {
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);
    static std::map<std::pair<QString, bool>, std::unique_ptr<FontSet>> sets;
    std::unique_ptr<FontSet>& entry = sets[{family, bold}];
    if (!entry) entry.reset(new FontSet(family, bold));
    return *entry;
}

FontSet::FontSet(const QString& family, bool bold)
    : family_(family), bold_(bold), simple_(new std::atomic<int32_t>[SimpleCount]) {
    for (char32_t c = 0; c < SimpleCount; ++c) simple_[c].store(Unknown, std::memory_order_relaxed);
    // The main face is the first of fontconfig's order that is drawn in outlines and loads; a
    // kept answer names it without the order, which is sorted when a character needs another.
    const QString question = QStringLiteral("face %1 %2").arg(family, bold ? "bold" : "regular");
    const QString answer = FontAnswers::answer(question, [this] {
        const std::lock_guard<std::mutex> lock(mutex_);
        sortCandidates();
        return mainPath_.isEmpty() ? QString()
                                   : QString::fromLocal8Bit(mainPath_) + QLatin1Char('\n') +
                                         QString::number(mainIndex_);
    });
    if (!main_ && !answer.isEmpty()) {
        mainPath_ = answer.section(QLatin1Char('\n'), 0, 0).toLocal8Bit();
        mainIndex_ = answer.section(QLatin1Char('\n'), 1).toInt();
        main_ = FontFace::load(mainPath_, mainIndex_);
    }
    if (!main_)
        throw VbError(
            VbErr::PrinterError,
            QStringLiteral("Printer error: no font file for %1").arg(shownInError(family)));
}

void FontSet::sortCandidates() {
    if (sorted_) return;
    sorted_ = true;
    FontAnswers::configurationNeeded();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(family_.toUtf8().constData()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold_ ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    // Trimmed: a font that covers nothing the ones before it cover is left out.
    FcFontSet* sorted = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
    FcPatternDestroy(pattern);
    bool mainSeen = false;
    for (int i = 0; sorted && i < sorted->nfont; ++i) {
        const FcPattern* font = sorted->fonts[i];
        FcChar8* file = nullptr;
        int index = 0;
        FcBool outline = FcTrue, colour = FcFalse;
        FcCharSet* charset = nullptr;
        if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        FcPatternGetBool(font, FC_OUTLINE, 0, &outline);
        FcPatternGetBool(font, FC_COLOR, 0, &colour);
        // Bitmap fonts have no outlines to draw at any size or embed in a PDF; colour fonts are
        // drawn as images, and never for the text's own font.
        if (!(outline || colour) ||
            FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch)
            continue;
        const QByteArray path(reinterpret_cast<const char*>(file));
        if (!mainSeen && !colour &&
            (main_ ? path == mainPath_ && index == mainIndex_
                   : (main_ = FontFace::load(path, index)) != nullptr)) {
            mainSeen = true;
            mainPath_ = path;
            mainIndex_ = index;
            continue;
        }
        candidates_.push_back({path, index, FcCharSetCopy(charset), bool(colour)});
    }
    if (sorted) FcFontSetDestroy(sorted);
}

FontSet::~FontSet() {
    for (Candidate& candidate : candidates_) FcCharSetDestroy(candidate.charset);
}

const FontFace* FontSet::faceFor(char32_t c) {
    if (main_->glyph(c)) return main_;
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = chosen_.find(c);
    if (found != chosen_.end()) return found->second;
    return chosen_[c] = lookUpFace(c);
}

const FontFace* FontSet::candidateFace(Candidate& candidate) {
    if (!candidate.loaded) {
        candidate.face = FontFace::load(candidate.path, candidate.index);
        // A colour font whose glyphs are no images (layers of outlines) cannot be drawn here.
        if (candidate.colour && candidate.face && !candidate.face->colour())
            candidate.face = nullptr;
        candidate.loaded = true;
    }
    return candidate.face;
}

const FontFace* FontSet::lookUpFace(char32_t c) {
    // Emoji from a colour font first, then from the first font that has them at all.
    const bool emoji = prefersEmoji(c);
    sortCandidates();
    for (int pass = emoji ? 0 : 1; pass < 2; ++pass)
        for (Candidate& candidate : candidates_) {
            if ((pass == 0 && !candidate.colour) ||
                !FcCharSetHasChar(candidate.charset, FcChar32(c)))
                continue;
            const FontFace* face = candidateFace(candidate);
            if (face && face->glyph(c)) return face;
        }
    return nullptr;
}

const FontFace* FontSet::faceForAll(const std::vector<char32_t>& chars) {
    const auto hasAll = [&chars](const FontFace* face) {
        return face && std::all_of(chars.begin(), chars.end(),
                                   [face](char32_t c) { return face->glyph(c) != 0; });
    };
    if (hasAll(main_)) return main_;
    const std::lock_guard<std::mutex> lock(mutex_);
    sortCandidates();
    for (Candidate& candidate : candidates_) {
        const bool covers = std::all_of(chars.begin(), chars.end(), [&candidate](char32_t c) {
            return FcCharSetHasChar(candidate.charset, FcChar32(c));
        });
        if (covers && hasAll(candidateFace(candidate))) return candidate.face;
    }
    return nullptr;
}

int32_t FontSet::lookUpSimple(char32_t c) {
    int32_t glyph = -1;
    if (cellsOf(c) == 1 && !rightToLeft(c) && needsNoShaping(c)) {
        const uint32_t own = main_->glyph(c == u'\t' ? u' ' : c);  // a tab is blank, as a space
        if (own != 0) glyph = int32_t(own);
    }
    if (c < SimpleCount) simple_[c].store(glyph, std::memory_order_relaxed);
    return glyph;
}

}  // namespace zel
