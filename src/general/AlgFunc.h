#pragma once

#include "variant/Variant.h"

// The general text and formatting routines that placeholder expansion and the file service
// use. Pictures are those of zel::Format.
namespace zel::AlgFunc {

// Replaces Zoek by Vervang in Tekst in one pass from left to right: the first match only, or
// every match when Alle; case-insensitively unless Hoofdlettergevoelig. A replacement is never
// searched again, however long the text. With BehoudHoofdletters a match in capitals gets
// Vervang in capitals, a match in lower case (or without letters) gets it in lower case, and a
// mixed match gets it unchanged. An empty Zoek leaves the text as it is.
// Tekst receives the new text, which is also returned. Null in any text raises 94.
Variant VervangTekst(Variant& Tekst, const Variant& Zoek, const Variant& Vervang, bool Alle,
                     bool Hoofdlettergevoelig, bool BehoudHoofdletters);

// A date after 30 December 1899 formatted with Formaat, right-aligned in a field as wide as
// Formaat; Standaard for Null, Empty, missing or an earlier date.
Variant FormatDatum(const Variant& Waarde, const Variant& Formaat, const Variant& Standaard);

// A time formatted with Formaat and right-aligned as FormatGetal does; the empty text for
// midnight (no fraction) unless Altijd.
Variant FormatTijd(const Variant& Waarde, const Variant& Formaat, bool Altijd);

// Waarde (Null, Empty and missing count as 0) formatted with Formaat, in a field exactly as
// wide as Formaat: right-aligned, and a longer result keeps only its last characters.
Variant FormatGetal(const Variant& Waarde, const Variant& Formaat);

// Standaard for Null, Empty or missing; a string without its leading and trailing blanks;
// any other value unchanged.
Variant NullWaarde(const Variant& Waarde, const Variant& Standaard);

}  // namespace zel::AlgFunc
