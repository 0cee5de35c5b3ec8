#include "variant/Variant.h"

#include <cfloat>
#include <cmath>

#include "variant/VariantText.h"
#include "variant/VbError.h"

namespace zel {

namespace {

[[noreturn]] void raise(int number) {
    throw VbError(number);
}

// The largest Currency amount is just below 2^63 ten-thousandths.
constexpr double kCurrencyLimit = 9223372036854775808.0;

// Null and the values no conversion accepts (a missing argument, an object reference).
void requireConvertible(VarType t) {
    if (t == VarType::Null) raise(VbErr::InvalidUseOfNull);
    if (t == VarType::Missing || t == VarType::Object) raise(VbErr::TypeMismatch);
}

double numberFromText(const QString& text) {
    const std::optional<double> number = detail::parseNumber(text);
    if (!number) raise(VbErr::TypeMismatch);
    return *number;
}

}  // namespace

Variant::Variant() : v_{VarType::Empty, std::monostate{}} {}
Variant::Variant(const QString& s) : v_{VarType::String, s} {}
Variant::Variant(const char* s) : Variant(QString::fromUtf8(s)) {}

Variant Variant::Null() {
    Variant v;
    v.v_.type = VarType::Null;
    return v;
}

Variant Variant::Missing() {
    Variant v;
    v.v_.type = VarType::Missing;
    return v;
}

Variant Variant::Integer(int16_t value) {
    Variant v;
    v.v_ = {VarType::Integer, int64_t{value}};
    return v;
}

Variant Variant::Long(int32_t value) {
    Variant v;
    v.v_ = {VarType::Long, int64_t{value}};
    return v;
}

Variant Variant::Single(float value) {
    Variant v;
    v.v_ = {VarType::Single, double{value}};
    return v;
}

Variant Variant::Double(double value) {
    Variant v;
    v.v_ = {VarType::Double, value};
    return v;
}

Variant Variant::CurrencyScaled(int64_t tenThousandths) {
    Variant v;
    v.v_ = {VarType::Currency, tenThousandths};
    return v;
}

Variant Variant::Date(double days) {
    Variant v;
    v.v_ = {VarType::Date, days};
    return v;
}

Variant Variant::Boolean(bool value) {
    Variant v;
    v.v_ = {VarType::Boolean, int64_t{value ? -1 : 0}};
    return v;
}

Variant Variant::Object(std::shared_ptr<void> ref) {
    Variant v;
    v.v_ = {VarType::Object, std::move(ref)};
    return v;
}

VarType Variant::type() const {
    return v_.type;
}

bool Variant::isNumeric() const {
    switch (type()) {
        case VarType::Integer:
        case VarType::Long:
        case VarType::Single:
        case VarType::Double:
        case VarType::Currency:
        case VarType::Date:
        case VarType::Boolean:
            return true;
        default:
            return false;
    }
}

bool Variant::isWhole() const {
    const VarType t = type();
    return t == VarType::Integer || t == VarType::Long || t == VarType::Boolean;
}

int64_t Variant::wholeValue(int64_t min, int64_t max) const {
    requireConvertible(type());
    int64_t whole = 0;
    if (isWhole()) {
        whole = std::get<int64_t>(v_.value);
    } else if (type() != VarType::Empty) {
        const double rounded = detail::roundHalfEven(toDouble());
        // Written so that NaN fails the test too.
        if (!(rounded >= static_cast<double>(min) && rounded <= static_cast<double>(max))) {
            raise(VbErr::Overflow);
        }
        return static_cast<int64_t>(rounded);
    }
    if (whole < min || whole > max) raise(VbErr::Overflow);
    return whole;
}

int16_t Variant::toInteger() const {
    return static_cast<int16_t>(wholeValue(INT16_MIN, INT16_MAX));
}

int32_t Variant::toLong() const {
    return static_cast<int32_t>(wholeValue(INT32_MIN, INT32_MAX));
}

float Variant::toSingle() const {
    const double d = toDouble();
    if (std::isfinite(d) && std::fabs(d) > FLT_MAX) raise(VbErr::Overflow);
    return static_cast<float>(d);
}

double Variant::toDouble() const {
    requireConvertible(type());
    switch (type()) {
        case VarType::Integer:
        case VarType::Long:
        case VarType::Boolean:
            return static_cast<double>(std::get<int64_t>(v_.value));
        case VarType::Currency:
            return static_cast<double>(std::get<int64_t>(v_.value)) / 10000.0;
        case VarType::Single:
        case VarType::Double:
        case VarType::Date:
            return std::get<double>(v_.value);
        case VarType::String:
            return numberFromText(std::get<QString>(v_.value));
        default:
            return 0;  // Empty
    }
}

int64_t Variant::toCurrencyScaled() const {
    requireConvertible(type());
    if (type() == VarType::Currency) return std::get<int64_t>(v_.value);
    if (isWhole()) return std::get<int64_t>(v_.value) * 10000;
    double scaled = toDouble() * 10000.0;
    // Scaling a binary fraction can land a hair off a decimal half (0.00015 * 10 000 gives
    // 1.4999...): snap back to the half so that it rounds as written.
    const double half = std::round(scaled * 2) / 2;
    if (std::fabs(scaled - half) <= std::fabs(scaled) * 4 * DBL_EPSILON) scaled = half;
    scaled = detail::roundHalfEven(scaled);
    if (!(scaled >= -kCurrencyLimit && scaled < kCurrencyLimit)) raise(VbErr::Overflow);
    return static_cast<int64_t>(scaled);
}

double Variant::toDate() const {
    requireConvertible(type());
    if (type() == VarType::Date) return std::get<double>(v_.value);
    if (type() == VarType::String) {
        if (const auto date = detail::parseDate(std::get<QString>(v_.value))) return *date;
    }
    const double days = toDouble();
    if (!(days >= detail::kMinDate && days < detail::kMaxDate)) raise(VbErr::Overflow);
    return days;
}

QString Variant::toString() const {
    requireConvertible(type());
    switch (type()) {
        case VarType::Integer:
        case VarType::Long:
            return QString::number(std::get<int64_t>(v_.value));
        case VarType::Boolean:
            return std::get<int64_t>(v_.value) != 0 ? QStringLiteral("True")
                                                    : QStringLiteral("False");
        case VarType::Single:
            return detail::formatFloating(std::get<double>(v_.value), 7);
        case VarType::Double:
            return detail::formatFloating(std::get<double>(v_.value), 15);
        case VarType::Currency:
            return detail::formatCurrency(std::get<int64_t>(v_.value));
        case VarType::Date:
            return detail::formatDate(std::get<double>(v_.value));
        case VarType::String:
            return std::get<QString>(v_.value);
        default:
            return QString();  // Empty
    }
}

bool Variant::toBoolean() const {
    requireConvertible(type());
    if (type() == VarType::String) {
        const QString text = std::get<QString>(v_.value).trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
        return numberFromText(text) != 0;
    }
    if (type() == VarType::Currency || isWhole()) return std::get<int64_t>(v_.value) != 0;
    return toDouble() != 0;
}

std::shared_ptr<void> Variant::toObject() const {
    if (type() != VarType::Object) raise(VbErr::TypeMismatch);
    return std::get<std::shared_ptr<void>>(v_.value);
}

QString Variant::typeName() const {
    switch (type()) {
        case VarType::Empty:
            return QStringLiteral("Empty");
        case VarType::Null:
            return QStringLiteral("Null");
        case VarType::Missing:
            return QStringLiteral("Error");
        case VarType::Integer:
            return QStringLiteral("Integer");
        case VarType::Long:
            return QStringLiteral("Long");
        case VarType::Single:
            return QStringLiteral("Single");
        case VarType::Double:
            return QStringLiteral("Double");
        case VarType::Currency:
            return QStringLiteral("Currency");
        case VarType::Date:
            return QStringLiteral("Date");
        case VarType::String:
            return QStringLiteral("String");
        case VarType::Boolean:
            return QStringLiteral("Boolean");
        case VarType::Object:
            return QStringLiteral("Object");
    }
    return QString();
}

bool Variant::identical(const Variant& other) const {
    return v_.type == other.v_.type && v_.value == other.v_.value;
}

}  // namespace zel
