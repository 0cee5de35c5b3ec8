#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <variant>

namespace zel {

// The kinds a dynamic value can hold. Missing marks an optional argument that was not passed.
enum class VarType {
    Empty,
    Null,
    Missing,
    Integer,   // 16-bit signed
    Long,      // 32-bit signed
    Single,    // float
    Double,    // double
    Currency,  // 64-bit integer scaled by 10 000
    Date,      // days since 30 December 1899; the fraction is the time of day
    String,
    Boolean,  // true is -1 when seen as a number
    Object,   // an object reference (opaque to the value)
};

// A dynamic value: copied freely, converted on use by the platform's rules. Conversions raise
// VbError (6 overflow, 13 type mismatch, 94 invalid use of Null) where the platform would.
// Text forms follow fixed conventions whatever the locale: decimal point, no grouping,
// "True"/"False", Single to 7 and Double to 15 significant digits, "DD-MM-YYYY", "HH:MM:SS".
class Variant {
public:
    Variant();  // Empty
    Variant(const QString& s);
    Variant(const char* s);  // UTF-8

    static Variant Null();
    static Variant Missing();
    static Variant Integer(int16_t v);
    static Variant Long(int32_t v);
    static Variant Single(float v);
    static Variant Double(double v);
    static Variant CurrencyScaled(int64_t tenThousandths);
    static Variant Date(double days);
    static Variant Boolean(bool v);
    static Variant Object(std::shared_ptr<void> ref);

    VarType type() const;
    bool isEmpty() const { return type() == VarType::Empty; }
    bool isNull() const { return type() == VarType::Null; }
    bool isMissing() const { return type() == VarType::Missing; }
    bool isString() const { return type() == VarType::String; }
    // Integer, Long, Single, Double, Currency, Date or Boolean.
    bool isNumeric() const;

    // The platform's CInt, CLng, CSng, CDbl, CCur, CDate, CStr, CBool. Fractions to whole
    // numbers round to nearest, halves to even; Empty is 0 / "" / false; Null raises 94;
    // a string converts when it holds a number (blanks around it allowed), else 13.
    int16_t toInteger() const;
    int32_t toLong() const;
    float toSingle() const;
    double toDouble() const;
    int64_t toCurrencyScaled() const;
    double toDate() const;
    QString toString() const;
    bool toBoolean() const;
    std::shared_ptr<void> toObject() const;  // 13 unless an object reference

    // The platform's TypeName: "Empty", "Null", "Error" (missing), "Integer", "Long",
    // "Single", "Double", "Currency", "Date", "String", "Boolean", "Object".
    QString typeName() const;

    // Same kind and same value (for tests and stores; not the platform's "=").
    bool identical(const Variant& other) const;

private:
    bool isWhole() const;  // Integer, Long or Boolean: held as a whole number
    // The value as a whole number within [min, max] (rounded, halves to even), else 6.
    int64_t wholeValue(int64_t min, int64_t max) const;

    struct Tagged {
        VarType type;
        std::variant<std::monostate, int64_t, double, QString, std::shared_ptr<void>> value;
    };
    Tagged v_;
};

// Arithmetic with the platform's type rules: Empty + Integer 1 is Integer 1; Integer results
// that leave 16 bits continue as Long, Long results that leave 32 bits as Double; Null
// propagates; String + String concatenates, String + number adds numerically.
Variant operator+(const Variant& a, const Variant& b);
Variant operator-(const Variant& a, const Variant& b);
Variant operator*(const Variant& a, const Variant& b);
Variant operator/(const Variant& a, const Variant& b);  // Double (11 on division by zero)

// The platform's comparison: Empty is 0 against a number and "" against a string; a number
// against numeric text compares numerically; text against text compares binary.
// Null in a comparison raises 94 (a condition cannot be Null).
int compare(const Variant& a, const Variant& b);  // -1, 0, 1
inline bool operator<(const Variant& a, const Variant& b) {
    return compare(a, b) < 0;
}
inline bool operator>(const Variant& a, const Variant& b) {
    return compare(a, b) > 0;
}
inline bool operator<=(const Variant& a, const Variant& b) {
    return compare(a, b) <= 0;
}
inline bool operator>=(const Variant& a, const Variant& b) {
    return compare(a, b) >= 0;
}
inline bool operator==(const Variant& a, const Variant& b) {
    return compare(a, b) == 0;
}
inline bool operator!=(const Variant& a, const Variant& b) {
    return compare(a, b) != 0;
}

// The platform's Int: the largest whole number not above, in the value's own numeric kind
// (a string becomes Double; Null stays Null; Empty is Integer 0).
Variant Int(const Variant& v);

}  // namespace zel
