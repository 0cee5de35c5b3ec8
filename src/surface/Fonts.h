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

}  // namespace zel
