// VervangTekst on any text, search and replacement with every switch: it ends, never searches
// its own replacements again, and with case-sensitive replacing of every match the result is
// the text with each match replaced, as QString::replace gives it.
#include <cstdlib>

#include "FuzzInput.h"
#include "general/AlgFunc.h"
#include "variant/VbError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const uint8_t switches = in.number<uint8_t>();
    const QString zoek = in.text();
    const QString vervang = in.text();
    const QString tekst = in.text();
    const bool alle = switches & 1, hoofdletters = switches & 2, behoud = switches & 4;
    zel::Variant inOut(tekst);
    try {
        const zel::Variant result = zel::AlgFunc::VervangTekst(
            inOut, zel::Variant(zoek), zel::Variant(vervang), alle, hoofdletters, behoud);
        if (!result.identical(inOut)) std::abort();
        if (alle && hoofdletters && !behoud && !zoek.isEmpty()) {
            QString expected = tekst;
            expected.replace(zoek, vervang, Qt::CaseSensitive);
            if (result.toString() != expected) std::abort();
        }
    } catch (const zel::VbError&) {
    }
    return 0;
}
