#pragma once

#include <QDateTime>

#include "variant/Variant.h"

// The dynamic value's Date is a count of days since 30 December 1899; the fraction is the time
// of day. Before that day the whole part counts back while the fraction still counts forward
// from midnight (-1.25 is 29 December 1899, 06:00).
namespace zel::DateConv {

// The serial of a calendar moment: its own date and time of day, whatever its time zone.
double toDays(const QDateTime& moment);
Variant toDateVariant(const QDateTime& moment);

// The calendar moment of a serial, to the nearest second (23:59:59.6 becomes the next day).
// The result carries Qt::UTC only so that no daylight-saving gap can move it; read its date()
// and time(). Serials outside 1 January 100 to 31 December 9999 raise 6 (overflow).
QDateTime fromDays(double days);

}  // namespace zel::DateConv
