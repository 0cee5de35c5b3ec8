#pragma once

#include <QVariantMap>

#include "surface/JobOptions.h"

namespace zel {

// The most options one JobOptions list carries, and the most characters of all their names and
// values together: far more than any CUPS job takes, few enough that checking them costs nothing.
inline constexpr qsizetype MaxJobOptions = 1000;
inline constexpr qsizetype MaxJobOptionsCharacters = qsizetype{1} << 20;

// Takes the Create options JobOptions (a{ss}: CUPS option names and values) and Title (s) out of
// the options given, whatever the case of their keys; 13 for a value of another type, 7 for a
// list past MaxJobOptions or MaxJobOptionsCharacters (found in one pass, before the rest of it
// is taken).
JobOptions takeJobOptions(QVariantMap& given);

}  // namespace zel
