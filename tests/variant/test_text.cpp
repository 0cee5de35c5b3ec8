#include <cfloat>
#include <cmath>

#include "VariantTestSupport.h"

namespace zel {
namespace {

using test::errorOf;

constexpr double kOutOfRange = 1e10;  // days: far beyond the year 9999

class TextForms : public test::GermanLocale {};

TEST_F(TextForms, NumbersUseTheGeneralFormatWithAFixedDecimalPoint) {
    const struct {
        Variant value;
        const char* text;
    } cases[] = {
        {Variant::Integer(-32768), "-32768"},
        {Variant::Long(2147483647), "2147483647"},
        {Variant::Single(0.1f), "0.1"},
        {Variant::Single(1.0f / 3), "0.3333333"},
        {Variant::Single(1234567.0f), "1234567"},
        {Variant::Single(12345678.0f), "1.234568E+07"},
        {Variant::Single(1e-5f), "1E-05"},
        {Variant::Single(-2.5f), "-2.5"},
        {Variant::Double(1.0 / 3), "0.333333333333333"},
        {Variant::Double(2.0 / 3), "0.666666666666667"},
        {Variant::Double(0.5), "0.5"},
        {Variant::Double(-0.5), "-0.5"},
        {Variant::Double(0.1 + 0.2), "0.3"},
        {Variant::Double(1234.5), "1234.5"},
        {Variant::Double(100), "100"},
        {Variant::Double(0.0), "0"},
        {Variant::Double(-0.0), "0"},
        {Variant::Double(0.0001), "0.0001"},
        {Variant::Double(0.00001), "1E-05"},
        {Variant::Double(1.5e-7), "1.5E-07"},
        {Variant::Double(1.0 / 3 / 10000), "3.33333333333333E-05"},
        {Variant::Double(1e14), "100000000000000"},
        {Variant::Double(1e15), "1E+15"},
        {Variant::Double(1e20), "1E+20"},
        {Variant::Double(-1e100), "-1E+100"},
        {Variant::Double(123456789012345678.0), "1.23456789012346E+17"},
        {Variant::Double(999999999999999.9), "1E+15"},
        {Variant::CurrencyScaled(12345), "1.2345"},
        {Variant::CurrencyScaled(-15000), "-1.5"},
        {Variant::CurrencyScaled(30000), "3"},
        {Variant::CurrencyScaled(-5), "-0.0005"},
        {Variant::CurrencyScaled(INT64_MIN), "-922337203685477.5808"},
        {Variant::Boolean(true), "True"},
        {Variant::Boolean(false), "False"},
        {Variant(), ""},
        {Variant(" as is "), " as is "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.value.toString(), QString::fromLatin1(c.text));
    }
}

TEST_F(TextForms, DatesAndTimes) {
    const struct {
        double days;
        const char* text;
    } cases[] = {
        {36526, "01-01-2000"},
        {36526.75, "01-01-2000 18:00:00"},
        {36526.5 + 1.0 / 86400, "01-01-2000 12:00:01"},
        {36526.99999999, "02-01-2000"},  // rounds to the next midnight
        {0.25, "06:00:00"},
        {0, "00:00:00"},
        {1, "31-12-1899"},
        {-1.25, "29-12-1899 06:00:00"},
        {2958465, "31-12-9999"},
        {-657434, "01-01-0100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Variant::Date(c.days).toString(), QString::fromLatin1(c.text));
    }
}

TEST_F(TextForms, TextReadsBackAsTheSameDate) {
    const struct {
        const char* text;
        double days;
        int error;
    } cases[] = {
        {"01-01-2000", 36526, 0},
        {"1-1-2000 18:00:00", 36526.75, 0},
        {" 01-01-2000 18:00 ", 36526.75, 0},
        {"06:00:00", 0.25, 0},
        {"29-12-1899 06:00:00", -1.25, 0},
        {"36526.5", 36526.5, 0},
        {"31-02-2000", 0, VbErr::TypeMismatch},
        {"01-01-2000 24:00:00", 0, VbErr::TypeMismatch},
        {"2000-01-01", 0, VbErr::TypeMismatch},
        {"tomorrow", 0, VbErr::TypeMismatch},
        {"", 0, VbErr::TypeMismatch},
        {"1e10", 0, VbErr::Overflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        test::expectConversion([&] { return Variant(c.text).toDate(); }, c.days, c.error);
    }
    EXPECT_EQ(Variant(), Variant::Date(Variant().toDate()));
    EXPECT_EQ(errorOf([] { Variant::Double(3e6).toDate(); }), VbErr::Overflow);
}

TEST_F(TextForms, ValuesOutOfTheirRangeHaveNoText) {
    EXPECT_EQ(errorOf([] { Variant::Date(kOutOfRange).toString(); }), VbErr::Overflow);
    EXPECT_EQ(errorOf([] { Variant::Double(NAN).toString(); }), VbErr::Overflow);
}

TEST_F(TextForms, NullAndMissingHaveNoText) {
    EXPECT_EQ(errorOf([] { Variant::Null().toString(); }), VbErr::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { Variant::Missing().toString(); }), VbErr::TypeMismatch);
}

TEST_F(TextForms, NumbersSurviveARoundTripThroughText) {
    for (double d : {0.1, -123.456, 1e-10, 6.02214076e23, 1.0 / 7}) {
        const Variant text(Variant::Double(d).toString());
        EXPECT_NEAR(text.toDouble(), d, std::abs(d) * 1e-14) << d;
    }
}

TEST_F(TextForms, TypeNames) {
    const std::pair<Variant, const char*> cases[] = {
        {Variant(), "Empty"},
        {Variant::Null(), "Null"},
        {Variant::Missing(), "Error"},
        {Variant::Integer(1), "Integer"},
        {Variant::Long(1), "Long"},
        {Variant::Single(1), "Single"},
        {Variant::Double(1), "Double"},
        {Variant::CurrencyScaled(1), "Currency"},
        {Variant::Date(1), "Date"},
        {Variant("x"), "String"},
        {Variant::Boolean(true), "Boolean"},
        {Variant::Object(nullptr), "Object"},
    };
    for (const auto& [value, name] : cases) EXPECT_EQ(value.typeName(), QString::fromLatin1(name));
}

}  // namespace
}  // namespace zel
