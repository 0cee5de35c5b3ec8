#pragma once

// Text forms of dynamic values: parsing numbers and dates from text and writing numbers,
// currency amounts and dates as text. Fixed conventions, never the machine's locale.

#include <QString>
#include <cstdint>
#include <optional>

namespace zel::detail {

// The date range the platform accepts: 1 January 100 up to the end of 31 December 9999.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958466.0;  // exclusive

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double x);

// A number written as text: blanks around, optional sign, digits with an optional '.', an
// optional exponent (E or D), or "&H" hexadecimal / "&O" octal. Nothing when the text is no
// number; VbError 6 when it is a number too large for a Double.
std::optional<double> parseNumber(const QString& text);

// A date written as "DD-MM-YYYY", "DD-MM-YYYY HH:MM:SS" or "HH:MM:SS" (seconds optional), as
// days since 30-12-1899. Nothing when the text is not such a date.
std::optional<double> parseDate(const QString& text);

// The general number format: at most `digits` significant digits, no trailing zeros,
// scientific ("1.5E-07", "1E+20") when the fixed form would not show them plainly.
QString formatFloating(double value, int digits);

// A currency amount (scaled by 10 000) with up to four decimals, no trailing zeros.
QString formatCurrency(int64_t tenThousandths);

// "DD-MM-YYYY", "DD-MM-YYYY HH:MM:SS", or "HH:MM:SS" when the date part is 30-12-1899.
QString formatDate(double days);

}  // namespace zel::detail
