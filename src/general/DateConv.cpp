#include "general/DateConv.h"

#include <cmath>

#include "variant/VbError.h"

namespace zel::DateConv {

namespace {

const QDate kZeroDay(1899, 12, 30);
constexpr double kSecondsPerDay = 86400.0;
constexpr double kFirstDay = -657434.0;  // 1 January 100
constexpr double kLastDay = 2958466.0;   // 1 January 10000, exclusive

}  // namespace

double toDays(const QDateTime& moment) {
    const double whole = static_cast<double>(kZeroDay.daysTo(moment.date()));
    const double fraction = moment.time().msecsSinceStartOfDay() / (kSecondsPerDay * 1000.0);
    return whole < 0 ? whole - fraction : whole + fraction;
}

Variant toDateVariant(const QDateTime& moment) {
    return Variant::Date(toDays(moment));
}

QDateTime fromDays(double days) {
    if (!std::isfinite(days) || days <= kFirstDay - 1.0 || days >= kLastDay)
        throw VbError(VbErr::Overflow);
    const double whole = std::trunc(days);
    auto seconds = static_cast<int64_t>(std::llround(std::fabs(days - whole) * kSecondsPerDay));
    QDate date = kZeroDay.addDays(static_cast<qint64>(whole));
    if (seconds >= static_cast<int64_t>(kSecondsPerDay)) {
        seconds -= static_cast<int64_t>(kSecondsPerDay);
        date = date.addDays(1);
    }
    return QDateTime(date, QTime(0, 0).addSecs(static_cast<int>(seconds)), Qt::UTC);
}

}  // namespace zel::DateConv
