#include "surface/Fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <QStringList>
#include <cmath>
#include <map>
#include <mutex>

#include "text/FontAnswers.h"
#include "text/FontFace.h"
#include "text/FontSet.h"
#include "variant/VbError.h"

namespace zel {

namespace {

struct Substitute {
    const char* name;
    const char* family;
};

// Names that reports use and that no Linux font carries. Fixed pitch keeps the character grid.
constexpr Substitute substitutes[] = {{"Terminal", "Liberation Mono"}};

QString substituteFor(const QString& name) {
    for (const Substitute& s : substitutes)
        if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0)
            return QLatin1String(s.family);
    return name;
}

const QString& unknownName() {
    static const QString name = QStringLiteral("zelprint-no-such-font-family");
    return name;
}

// A text value of the pattern, or the fallback when it has none.
QString patternText(FcPattern* pattern, const char* object, int index, const QString& fallback) {
    FcChar8* value = nullptr;
    return FcPatternGetString(pattern, object, index, &value) == FcResultMatch
               ? QString::fromUtf8(reinterpret_cast<const char*>(value))
               : fallback;
}

// The family of fontconfig's best match for the name, as Qt names fonts: a font's first family,
// or the name when the font carries it as a subfamily of its own (a further family in the same
// language with another style, such as "DejaVu Sans Condensed"); other further families are
// aliases of the first ("Noto Sans OldHung"). Empty when no font file is installed.
QString matchedFamily(const QString& name) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(name.toUtf8().constData()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return QString();
    QString family = patternText(match, FC_FAMILY, 0, QString());
    for (int i = 1;; ++i) {
        const QString further = patternText(match, FC_FAMILY, i, QString());
        if (further.isEmpty()) break;
        if (further.compare(name, Qt::CaseInsensitive) != 0) continue;
        const QString language = patternText(match, FC_FAMILYLANG, 0, QString());
        const QString style = patternText(match, FC_STYLE, 0, QString());
        if (patternText(match, FC_FAMILYLANG, i, language) == language &&
            patternText(match, FC_STYLE, i, style) != style)
            family = further;
        break;
    }
    FcPatternDestroy(match);
    return family;
}

// The family a name that no font or alias knows falls back to.
const QString& fallbackFamily() {
    static const QString family = matchedFamily(unknownName());
    return family;
}

// The families fontconfig's rules put after the name: its aliases, then the default families.
QStringList familiesAfter(const QString& name) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(name.toUtf8().constData()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    QStringList families;
    FcChar8* family = nullptr;
    for (int i = 1; FcPatternGetString(pattern, FC_FAMILY, i, &family) == FcResultMatch; ++i)
        families.append(QString::fromUtf8(reinterpret_cast<const char*>(family)));
    FcPatternDestroy(pattern);
    return families;
}

// True when fontconfig has rules for the name (such as "Courier New" -> Liberation Mono): it is
// followed by other families than a name it does not know. When the alias's font is also the
// default font (a system with only that font), the resolved family alone cannot tell.
bool hasAliases(const QString& name) {
    static const QStringList defaults = familiesAfter(unknownName());
    return familiesAfter(name) != defaults;
}

// The family for a name that may be one, empty when the name is refused; uncached.
QString familyFor(const QString& name) {
    const QString asked = substituteFor(name);
    const QString family = matchedFamily(asked);
    // No font file at all: the name cannot be judged.
    if (family.isEmpty()) return asked;
    // Its own family, or a fontconfig alias (a metric-compatible font) by a rule of its own or
    // by resolving to something else than the fallback.
    if (family.compare(asked, Qt::CaseInsensitive) != 0 && !hasAliases(asked) &&
        family.compare(fallbackFamily(), Qt::CaseInsensitive) == 0)
        return QString();
    return family;
}

}  // namespace

QString resolveFont(const QString& name) {
    // No font family is named this long; refused before fontconfig is asked.
    constexpr qsizetype LongestName = 255;
    if (name.size() > LongestName || name.trimmed().isEmpty())
        throw VbError(VbErr::InvalidPropertyValue);
    // The window and the printer ask for the same few names: fontconfig answers each once. A
    // client that tries names without end starts the list afresh rather than fill the memory.
    constexpr size_t MostNames = 256;
    static std::mutex mutex;
    static std::map<QString, QString> known;
    const std::lock_guard<std::mutex> lock(mutex);
    auto found = known.find(name);
    if (found == known.end()) {
        if (known.size() >= MostNames) known.clear();
        found = known
                    .emplace(name, FontAnswers::answer(QStringLiteral("family ") + name,
                                                       [&name] { return familyFor(name); }))
                    .first;
    }
    if (found->second.isEmpty()) throw VbError(VbErr::InvalidPropertyValue);
    return found->second;
}

FontMetrics measureFont(const QString& family, bool bold, double points, int dpi) {
    const FontFace& face = FontSet::forFamily(family, bold).main();
    // Qt's font engine works at whole pixel sizes.
    const auto pixels = FT_UInt(std::max(1L, std::lround(points * dpi / 72.0)));
    // One FreeType library for the process, which FreeType does not guard itself.
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);
    // A face's metrics at a size do not change while it is loaded: each size is read once, for
    // the geometry asks again at every change of font or sheet. Bounded as the names are.
    constexpr size_t MostSizes = 1024;
    static std::map<std::pair<const FontFace*, FT_UInt>, FontMetrics> measured;
    const auto known = measured.find({&face, pixels});
    if (known != measured.end()) return known->second;
    if (measured.size() >= MostSizes) measured.clear();
    static FT_Library library = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    FT_Face ft = nullptr;
    if (!library || FT_New_Face(library, face.path().constData(), face.index(), &ft) != 0)
        throw VbError(VbErr::PrinterError,
                      QStringLiteral("Printer error: cannot read the font file %1")
                          .arg(QString::fromLocal8Bit(face.path())));
    FontMetrics metrics{0, 0};
    if (FT_Set_Pixel_Sizes(ft, 0, pixels) == 0) {
        const FT_Fixed scale = ft->size->metrics.y_scale;
        metrics = {FT_MulFix(ft->ascender, scale) / 64.0, -FT_MulFix(ft->descender, scale) / 64.0};
    }
    FT_Done_Face(ft);
    measured.emplace(std::pair{&face, pixels}, metrics);
    return metrics;
}

void checkFontSize(float points) {
    constexpr float LargestSize = 2160;
    if (!(points > 0 && points <= LargestSize)) throw VbError(VbErr::InvalidPropertyValue);
}

}  // namespace zel
