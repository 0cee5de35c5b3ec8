#include "surface/Fonts.h"

#include <fontconfig/fontconfig.h>

#include <QFontInfo>
#include <QStringList>

#include "variant/VbError.h"

namespace zel {

namespace {

struct Substitute {
    const char* name;
    const char* family;
};

// Names that reports use and that no Linux font carries. Fixed pitch keeps the character grid.
constexpr Substitute substitutes[] = {{"Terminal", "Liberation Mono"}};

bool isFixedPitchSubstitute(const QString& name) {
    for (const Substitute& s : substitutes)
        if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) return true;
    return false;
}

const QString& unknownName() {
    static const QString name = QStringLiteral("zelprint-no-such-font-family");
    return name;
}

// The family a name that no font or alias knows falls back to.
const QString& fallbackFamily() {
    static const QString family = QFontInfo(QFont(unknownName())).family();
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

}  // namespace

void registerFontSubstitutes() {
    static const bool registered = [] {
        for (const Substitute& s : substitutes)
            QFont::insertSubstitution(QLatin1String(s.name), QLatin1String(s.family));
        return true;
    }();
    (void)registered;
}

QFont resolveFont(const QString& name) {
    // No font family is named this long; refused before the font engine caches the request.
    constexpr qsizetype LongestName = 255;
    if (name.size() > LongestName) throw VbError(VbErr::InvalidPropertyValue);
    registerFontSubstitutes();
    QFont font(name);
    if (isFixedPitchSubstitute(name)) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    }
    const QString family = QFontInfo(font).family();
    const bool own = family.compare(name, Qt::CaseInsensitive) == 0;
    const bool substituted = QFont::substitutes(name).contains(family, Qt::CaseInsensitive);
    // fontconfig aliases (metric-compatible fonts) resolve to something else than the fallback,
    // or to the fallback by a rule of their own.
    const bool aliased =
        family.compare(fallbackFamily(), Qt::CaseInsensitive) != 0 || hasAliases(name);
    if (name.trimmed().isEmpty() || !(own || substituted || aliased))
        throw VbError(VbErr::InvalidPropertyValue);
    return font;
}

QString resolvedFamily(const QFont& font) {
    QString family = QFontInfo(font).family();
    const qsizetype foundry = family.lastIndexOf(QLatin1String(" ["));
    if (foundry > 0 && family.endsWith(QLatin1Char(']'))) family.truncate(foundry);
    return family;
}

void checkFontSize(float points) {
    constexpr float LargestSize = 2160;
    if (!(points > 0 && points <= LargestSize)) throw VbError(VbErr::InvalidPropertyValue);
}

}  // namespace zel
