#pragma once

#include <QString>

#include "variant/Variant.h"

namespace zel {

// The platform's Format for the pictures this system uses, the same on every machine.
//
// Date pictures (any of the letters d, m, y, h, n, s, in either case): "d"/"dd" day, "m"/"mm"
// month, "y" day of the year, "yy"/"yyyy" year, "h"/"hh" hour 0 to 23, "n"/"nn" minutes, "s"/"ss"
// seconds; "m"/"mm" right after an hour or right before seconds are minutes. Every other
// character, ':' and '/' included, is copied as it stands.
//
// Number pictures: '0' a digit that is always shown, '#' a digit shown only when the number
// has it, '.' the decimal point; halves round away from zero; no grouping; a negative value
// gets a leading '-'. Digits that do not fit the picture are all shown; other characters are
// copied. An empty picture gives the value's ordinary text.
//
// A string that is no number or date is returned as it is; Null raises 94.
QString Format(const Variant& value, const QString& picture);

}  // namespace zel
