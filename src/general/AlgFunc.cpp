#include "general/AlgFunc.h"

#include <cmath>

#include "general/Format.h"

namespace zel::AlgFunc {

namespace {

// The platform's Trim: blanks only, not tabs or line ends.
QString trimmedBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') ++begin;
    while (end > begin && text[end - 1] == u' ') --end;
    return text.mid(begin, end - begin);
}

QString caseKept(const QString& replacement, const QString& matched) {
    QString result = replacement;
    if (matched == matched.toUpper()) result = replacement.toUpper();
    if (matched == matched.toLower()) result = replacement.toLower();
    return result;
}

// Right(Space(Len(picture)) & Format(value, picture), Len(picture)).
Variant formattedInField(const Variant& value, const Variant& Formaat) {
    const QString picture = Formaat.toString();
    const QString text = Format(value, picture);
    const qsizetype width = picture.size();
    return Variant(text.size() >= width ? text.right(width) : text.rightJustified(width));
}

}  // namespace

Variant VervangTekst(Variant& Tekst, const Variant& Zoek, const Variant& Vervang, bool Alle,
                     bool Hoofdlettergevoelig, bool BehoudHoofdletters) {
    const QString text = Tekst.toString();
    const QString search = Zoek.toString();
    const QString replacement = Vervang.toString();
    const Qt::CaseSensitivity cs = Hoofdlettergevoelig ? Qt::CaseSensitive : Qt::CaseInsensitive;

    QString result;
    qsizetype from = 0;
    qsizetype at = search.isEmpty() ? -1 : text.indexOf(search, 0, cs);
    while (at >= 0) {
        result += QStringView(text).mid(from, at - from);
        result +=
            BehoudHoofdletters ? caseKept(replacement, text.mid(at, search.size())) : replacement;
        from = at + search.size();
        at = Alle ? text.indexOf(search, from, cs) : -1;
    }
    result += QStringView(text).mid(from);
    Tekst = Variant(result);
    return Tekst;
}

Variant FormatDatum(const Variant& Waarde, const Variant& Formaat, const Variant& Standaard) {
    const double days = NullWaarde(Waarde, Variant::Integer(0)).toDate();
    return days > 0 ? formattedInField(Variant::Date(days), Formaat) : Standaard;
}

Variant FormatTijd(const Variant& Waarde, const Variant& Formaat, bool Altijd) {
    const Variant value = NullWaarde(Waarde, Variant::Integer(0));
    const double days = value.toDate();
    if (days == std::trunc(days) && !Altijd) return Variant(QString());
    return formattedInField(value, Formaat);
}

Variant FormatGetal(const Variant& Waarde, const Variant& Formaat) {
    return formattedInField(NullWaarde(Waarde, Variant::Integer(0)), Formaat);
}

Variant NullWaarde(const Variant& Waarde, const Variant& Standaard) {
    if (Waarde.isNull() || Waarde.isEmpty() || Waarde.isMissing()) return Standaard;
    if (Waarde.isString()) return Variant(trimmedBlanks(Waarde.toString()));
    return Waarde;
}

}  // namespace zel::AlgFunc
