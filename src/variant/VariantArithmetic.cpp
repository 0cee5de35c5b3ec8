// Arithmetic, comparison and Int on dynamic values, with the platform's result kinds.

#include <cmath>

#include "variant/Variant.h"
#include "variant/VariantText.h"
#include "variant/VbError.h"

namespace zel {

namespace {

__extension__ typedef __int128 Wide;  // room for a product of two Currency amounts

enum class Op { Add, Subtract, Multiply };

[[noreturn]] void raise(int number) {
    throw VbError(number);
}

template <typename T>
int order(T a, T b) {
    return (a > b) - (a < b);
}

// A missing argument or an object reference takes part in no arithmetic or comparison.
void requireOperand(const Variant& v) {
    if (v.isMissing() || v.type() == VarType::Object) raise(VbErr::TypeMismatch);
}

// The kind an operand counts as: Empty and Boolean as Integer, text as Double.
VarType operandKind(const Variant& v) {
    switch (v.type()) {
        case VarType::Empty:
        case VarType::Boolean:
            return VarType::Integer;
        case VarType::String:
            return VarType::Double;
        default:
            return v.type();
    }
}

VarType resultKind(VarType a, VarType b, Op op) {
    const auto either = [&](VarType t) { return a == t || b == t; };
    const auto other = [&](VarType t) { return a == t ? b : a; };
    if (either(VarType::Date)) {
        if (op == Op::Multiply) return VarType::Double;
        // A date minus a date is a number of days.
        if (op == Op::Subtract && a == b) return VarType::Double;
        return VarType::Date;
    }
    if (either(VarType::Currency)) {
        const VarType o = other(VarType::Currency);
        return o == VarType::Single || o == VarType::Double ? VarType::Double : VarType::Currency;
    }
    if (either(VarType::Double)) return VarType::Double;
    if (either(VarType::Single)) {
        // A Single cannot hold every Long exactly.
        return other(VarType::Single) == VarType::Long ? VarType::Double : VarType::Single;
    }
    return either(VarType::Long) ? VarType::Long : VarType::Integer;
}

template <typename T>
T apply(T a, T b, Op op) {
    switch (op) {
        case Op::Add:
            return a + b;
        case Op::Subtract:
            return a - b;
        case Op::Multiply:
            return a * b;
    }
    return T{};
}

// Integer results that leave 16 bits continue as Long, Long results that leave 32 as Double.
Variant wholeArithmetic(int64_t a, int64_t b, Op op, VarType kind) {
    const int64_t r = apply(a, b, op);  // operands are 32-bit, so this cannot overflow
    if (kind == VarType::Integer && r >= INT16_MIN && r <= INT16_MAX) {
        return Variant::Integer(static_cast<int16_t>(r));
    }
    if (r >= INT32_MIN && r <= INT32_MAX) return Variant::Long(static_cast<int32_t>(r));
    return Variant::Double(static_cast<double>(r));
}

Variant currencyArithmetic(int64_t a, int64_t b, Op op) {
    Wide r = op == Op::Add ? Wide(a) + b : op == Op::Subtract ? Wide(a) - b : Wide(a) * b;
    if (op == Op::Multiply) {
        // Both factors carry the scale: divide it out once, rounding halves to even.
        Wide q = r / 10000;
        const Wide rest = r % 10000;
        const Wide twice = rest < 0 ? -2 * rest : 2 * rest;
        if (twice > 10000 || (twice == 10000 && q % 2 != 0)) q += r < 0 ? -1 : 1;
        r = q;
    }
    if (r < INT64_MIN || r > INT64_MAX) raise(VbErr::Overflow);
    return Variant::CurrencyScaled(static_cast<int64_t>(r));
}

template <typename T>
T finite(T value) {
    if (!std::isfinite(value)) raise(VbErr::Overflow);
    return value;
}

Variant arithmetic(const Variant& a, const Variant& b, Op op) {
    requireOperand(a);
    requireOperand(b);
    if (a.isNull() || b.isNull()) return Variant::Null();
    const VarType kind = resultKind(operandKind(a), operandKind(b), op);
    switch (kind) {
        case VarType::Integer:
        case VarType::Long:
            return wholeArithmetic(a.toLong(), b.toLong(), op, kind);
        case VarType::Currency:
            return currencyArithmetic(a.toCurrencyScaled(), b.toCurrencyScaled(), op);
        case VarType::Single:
            return Variant::Single(finite(apply(a.toSingle(), b.toSingle(), op)));
        case VarType::Date: {
            const double days = apply(a.toDouble(), b.toDouble(), op);
            if (!(days >= detail::kMinDate && days < detail::kMaxDate)) raise(VbErr::Overflow);
            return Variant::Date(days);
        }
        default:
            return Variant::Double(finite(apply(a.toDouble(), b.toDouble(), op)));
    }
}

// Kinds compared without going through floating point.
bool exactKind(const Variant& v) {
    const VarType t = v.type();
    return t == VarType::Empty || t == VarType::Integer || t == VarType::Long ||
           t == VarType::Boolean || t == VarType::Currency;
}

int compareNumbers(const Variant& a, const Variant& b) {
    if (exactKind(a) && exactKind(b)) return order(a.toCurrencyScaled(), b.toCurrencyScaled());
    return order(a.toDouble(), b.toDouble());
}

}  // namespace

Variant operator+(const Variant& a, const Variant& b) {
    const bool textual = (a.isString() || a.isEmpty()) && (b.isString() || b.isEmpty());
    if (textual && (a.isString() || b.isString())) return Variant(a.toString() + b.toString());
    return arithmetic(a, b, Op::Add);
}

Variant operator-(const Variant& a, const Variant& b) {
    return arithmetic(a, b, Op::Subtract);
}

Variant operator*(const Variant& a, const Variant& b) {
    return arithmetic(a, b, Op::Multiply);
}

Variant operator/(const Variant& a, const Variant& b) {
    requireOperand(a);
    requireOperand(b);
    if (a.isNull() || b.isNull()) return Variant::Null();
    const double dividend = a.toDouble();
    const double divisor = b.toDouble();
    // The platform reports 0 / 0 as an overflow, any other x / 0 as a division by zero.
    if (divisor == 0) raise(dividend == 0 ? VbErr::Overflow : VbErr::DivisionByZero);
    const VarType ka = operandKind(a);
    const VarType kb = operandKind(b);
    const auto narrow = [](VarType k) { return k == VarType::Single || k == VarType::Integer; };
    if ((ka == VarType::Single || kb == VarType::Single) && narrow(ka) && narrow(kb)) {
        return Variant::Single(finite(a.toSingle() / b.toSingle()));
    }
    return Variant::Double(finite(dividend / divisor));
}

int compare(const Variant& a, const Variant& b) {
    requireOperand(a);
    requireOperand(b);
    if (a.isNull() || b.isNull()) raise(VbErr::InvalidUseOfNull);
    if (!a.isString() && !b.isString()) return compareNumbers(a, b);
    if (!a.isNumeric() && !b.isNumeric()) {  // text against text or Empty: binary
        return order(QString::compare(a.toString(), b.toString(), Qt::CaseSensitive), 0);
    }
    // A number against text: numerically when the text holds a number, else below any text.
    const Variant& text = a.isString() ? a : b;
    const std::optional<double> number = detail::parseNumber(text.toString());
    if (!number) return a.isString() ? 1 : -1;
    const Variant parsed = Variant::Double(*number);
    return a.isString() ? compareNumbers(parsed, b) : compareNumbers(a, parsed);
}

Variant Int(const Variant& v) {
    switch (v.type()) {
        case VarType::Null:
            return v;
        case VarType::Integer:
        case VarType::Long:
            return v;
        case VarType::Empty:
        case VarType::Boolean:
            return Variant::Integer(v.toInteger());
        case VarType::Single:
            return Variant::Single(std::floor(v.toSingle()));
        case VarType::Date:
            return Variant::Date(std::floor(v.toDate()));
        case VarType::Currency: {
            const int64_t scaled = v.toCurrencyScaled();
            int64_t whole = scaled / 10000;
            if (scaled % 10000 < 0) --whole;
            return Variant::CurrencyScaled(whole * 10000);
        }
        default:  // Double and text; the rest raise in the conversion
            return Variant::Double(std::floor(v.toDouble()));
    }
}

}  // namespace zel
