#pragma once

#include <QFont>
#include <QString>

namespace zel {

// Registers the substitutes for font names that have no font on this system ("Terminal" ->
// Liberation Mono, fixed pitch). Idempotent; the surfaces call it before their first font.
void registerFontSubstitutes();

// The font for a name, or VbError 380 when the name resolves neither to its own family, to a
// registered substitute, nor to a fontconfig alias (such as "Courier New" -> Liberation Mono).
QFont resolveFont(const QString& name);

// The family a font resolved to, as fontconfig names it: without the foundry that Qt adds in
// brackets when two foundries make a family ("Nimbus Mono PS [urw]").
QString resolvedFamily(const QFont& font);

// VbError 380 for a font size outside 0 < points <= 2160 (the largest size fonts take); larger
// sizes give the font engine's metrics no meaning (negative heights), which would break the grid.
void checkFontSize(float points);

}  // namespace zel
