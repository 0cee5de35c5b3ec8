#include <cmath>

#include "general/AlgFunc.h"
#include "general/Clock.h"
#include "general/DateConv.h"
#include "print/clsPrint.h"
#include "variant/Bounds.h"
#include "variant/VbError.h"

namespace zel {

// Codes are replaced in a fixed order, each everywhere and whatever the case of its letter; a
// value inserted by an earlier code is searched by the later ones. Expansion happens at every
// drawing, so a replayed text shows the values of that moment. Parameters that hold codes expand
// into more codes, each level multiplying the text: the bound is checked before the memory is
// taken.
QString clsPrint::ExpandTekst(const Variant& Tekst) const {
    const QString plain = Tekst.toString();
    requireTextLength(plain.size());
    // Every text of a report passes here, most without a code.
    if (!plain.contains(QLatin1Char('#'))) return plain;
    Variant text(plain);

    const auto replace = [&text](const char* code, const Variant& value) {
        const QString current = text.toString();
        const QLatin1String search(code);
        const qsizetype found = current.count(search, Qt::CaseInsensitive);
        if (found == 0) return;
        const QString with = value.toString();
        const qsizetype growth = with.size() - search.size();
        if (growth > 0 && found > (MaxTextLength - current.size()) / growth)
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
