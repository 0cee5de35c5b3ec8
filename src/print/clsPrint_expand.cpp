#include <cmath>

#include "general/AlgFunc.h"
#include "general/Clock.h"
#include "general/DateConv.h"
#include "print/clsPrint.h"
#include "variant/VbError.h"

namespace zel {

namespace {

// What one text may hold and one expansion may grow to, in characters. Parameters that hold
// codes expand into more codes, each level multiplying the text; the bound is checked before the
// memory is taken. Laying out a text takes tens of bytes a character inside Qt, which cannot
// recover from running out of memory there, so a text past the bound is never drawn.
constexpr qsizetype MaxExpandedLength = qsizetype{1} << 20;

}  // namespace

// Codes are replaced in a fixed order, each everywhere and whatever the case of its letter; a
// value inserted by an earlier code is searched by the later ones. Expansion happens at every
// drawing, so a replayed text shows the values of that moment.
QString clsPrint::ExpandTekst(const Variant& Tekst) const {
    Variant text(Tekst.toString());
    if (text.toString().size() > MaxExpandedLength) throw VbError(VbErr::OutOfMemory);
    if (!text.toString().contains(QLatin1Char('#'))) return text.toString();

    const auto replace = [&text](const char* code, const Variant& value) {
        const QString current = text.toString();
        const QLatin1String search(code);
        const qsizetype found = current.count(search, Qt::CaseInsensitive);
        if (found == 0) return;
        const QString with = value.toString();
        const qsizetype growth = with.size() - search.size();
        if (growth > 0 && found > (MaxExpandedLength - current.size()) / growth)
            throw VbError(VbErr::OutOfMemory);
        AlgFunc::VervangTekst(text, Variant(code), Variant(with), true, false, false);
    };
    const double now = DateConv::toDays(Clock::now());
    replace("#D", AlgFunc::FormatDatum(Variant::Date(std::floor(now)), "DD-MM-YYYY", ""));
    replace("#T", AlgFunc::FormatTijd(Variant::Date(now), "HH:MM:SS", true));
    replace("#B", AlgFunc::FormatGetal(Variant::Long(CurrentPage), "##0"));
    replace("#L", AlgFunc::FormatGetal(Variant::Long(CurrentLine), "###0"));
    for (int n = 0; n < static_cast<int>(Parms_.size()); ++n) {
        const QByteArray code = QByteArray("#") + QByteArray::number(n);
        // Numbers, dates and Booleans go in by their ordinary text form.
        replace(code.constData(), Variant(AlgFunc::NullWaarde(Parms_[n], "").toString()));
    }
    return text.toString();
}

}  // namespace zel
