#include "surface/Fonts.h"

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

// The family a name that no font or alias knows falls back to.
const QString& fallbackFamily() {
    static const QString family =
        QFontInfo(QFont(QStringLiteral("zelprint-no-such-font-family"))).family();
    return family;
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
    // fontconfig aliases (metric-compatible fonts) resolve to something else than the fallback.
    const bool aliased = family.compare(fallbackFamily(), Qt::CaseInsensitive) != 0;
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
