#include <cfloat>
#include <cmath>

#include "VariantTestSupport.h"

namespace zel {
namespace {

using test::errorOf;

class Conversions : public test::GermanLocale {};

struct WholeCase {
    Variant value;
    int expected;  // the converted value, when error is 0
    int error;
};

TEST_F(Conversions, ToIntegerRoundsHalvesToEvenAndGuardsTheRange) {
    const WholeCase cases[] = {
        {Variant::Double(2.5), 2, 0},
        {Variant::Double(3.5), 4, 0},
        {Variant::Double(-2.5), -2, 0},
        {Variant::Double(-3.5), -4, 0},
        {Variant::Double(2.4999), 2, 0},
        {Variant::Double(2.5001), 3, 0},
        {Variant::Double(32767.4), 32767, 0},
        {Variant::Double(32767.5), 0, VbErr::Overflow},
        {Variant::Double(-32768.5), -32768, 0},
        {Variant::Double(-32768.6), 0, VbErr::Overflow},
        {Variant::Long(32767), 32767, 0},
        {Variant::Long(32768), 0, VbErr::Overflow},
        {Variant::Long(-32768), -32768, 0},
        {Variant::Long(-32769), 0, VbErr::Overflow},
        {Variant::Single(1.5f), 2, 0},
        {Variant::CurrencyScaled(25000), 2, 0},
        {Variant::CurrencyScaled(35000), 4, 0},
        {Variant::CurrencyScaled(-25000), -2, 0},
        {Variant::Boolean(true), -1, 0},
        {Variant::Boolean(false), 0, 0},
        {Variant(), 0, 0},
        {Variant(" 12 "), 12, 0},
        {Variant("2.5"), 2, 0},
        {Variant("&HFFFF"), -1, 0},
        {Variant("&H10000"), 0, VbErr::Overflow},
        {Variant("abc"), 0, VbErr::TypeMismatch},
        {Variant(""), 0, VbErr::TypeMismatch},
        {Variant::Null(), 0, VbErr::InvalidUseOfNull},
        {Variant::Missing(), 0, VbErr::TypeMismatch},
        {Variant::Object(std::make_shared<int>(1)), 0, VbErr::TypeMismatch},
        {Variant::Double(NAN), 0, VbErr::Overflow},
    };
    for (const WholeCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.value));
        test::expectConversion([&] { return c.value.toInteger(); },
                               static_cast<int16_t>(c.expected), c.error);
    }
}

TEST_F(Conversions, ToLongRoundsHalvesToEvenAndGuardsTheRange) {
    const struct {
        Variant value;
        int64_t expected;
        int error;
    } cases[] = {
        {Variant::Double(2147483647.4), 2147483647, 0},
        {Variant::Double(2147483647.5), 0, VbErr::Overflow},
        {Variant::Double(2147483646.5), 2147483646, 0},
        {Variant::Double(-2147483648.5), -2147483648LL, 0},
        {Variant::Double(-2147483648.6), 0, VbErr::Overflow},
        {Variant::Double(1e300), 0, VbErr::Overflow},
        {Variant::Double(-0.5), 0, 0},
        {Variant::Double(0.5), 0, 0},
        {Variant::Double(1.5), 2, 0},
        {Variant::Integer(-32768), -32768, 0},
        {Variant::CurrencyScaled(INT64_MAX), 0, VbErr::Overflow},
        {Variant("&H7FFFFFFF"), 2147483647, 0},
        {Variant("&HFFFFFFFF"), -1, 0},
        {Variant("&H100000000"), 0, VbErr::Overflow},
        {Variant("&O17"), 15, 0},
        {Variant("&O18"), 0, VbErr::TypeMismatch},
        {Variant::Date(36526.75), 36527, 0},
        {Variant("1E3"), 1000, 0},
        {Variant("1D3"), 1000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.value));
        test::expectConversion([&] { return c.value.toLong(); }, static_cast<int32_t>(c.expected),
                               c.error);
    }
}

TEST_F(Conversions, TextToNumberFollowsFixedRulesWhateverTheLocale) {
    const struct {
        const char* text;
        double expected;
        int error;
    } cases[] = {
        {"1.5", 1.5, 0},
        {"  -1.5\t", -1.5, 0},
        {"+7", 7, 0},
        {".5", 0.5, 0},
        {"5.", 5, 0},
        {"1.5e3", 1500, 0},
        {"1.5E-3", 0.0015, 0},
        {"2D2", 200, 0},
        {"&h1f", 31, 0},
        {"1e-400", 0, 0},
        {"1e400", 0, VbErr::Overflow},
        {"0.001e99999999999999999999", 0, VbErr::Overflow},
        {"1e-99999999999999999999", 0, 0},
        {",5", 0, VbErr::TypeMismatch},
        {"1,5", 0, VbErr::TypeMismatch},
        {"1.000,5", 0, VbErr::TypeMismatch},
        {"1 5", 0, VbErr::TypeMismatch},
        {"1e", 0, VbErr::TypeMismatch},
        {"e5", 0, VbErr::TypeMismatch},
        {".", 0, VbErr::TypeMismatch},
        {"-", 0, VbErr::TypeMismatch},
        {"inf", 0, VbErr::TypeMismatch},
        {"nan", 0, VbErr::TypeMismatch},
        {"0x10", 0, VbErr::TypeMismatch},
        {"&H", 0, VbErr::TypeMismatch},
        {"&HG", 0, VbErr::TypeMismatch},
        {"1.2.3", 0, VbErr::TypeMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        test::expectConversion([&] { return Variant(c.text).toDouble(); }, c.expected, c.error);
    }
}

TEST_F(Conversions, SingleAndCurrencyGuardTheirRanges) {
    EXPECT_EQ(errorOf([] { Variant::Double(1e39).toSingle(); }), VbErr::Overflow);
    EXPECT_EQ(errorOf([] { Variant::Double(-1e39).toSingle(); }), VbErr::Overflow);
    EXPECT_FLOAT_EQ(Variant::Double(FLT_MAX).toSingle(), FLT_MAX);
    EXPECT_EQ(Variant::Double(0.1).toCurrencyScaled(), 1000);
    EXPECT_EQ(Variant::Double(0.00005).toCurrencyScaled(), 0);  // half to even
    EXPECT_EQ(Variant::Double(0.00015).toCurrencyScaled(), 2);
    EXPECT_EQ(Variant("12.3456").toCurrencyScaled(), 123456);
    EXPECT_EQ(Variant::Long(-3).toCurrencyScaled(), -30000);
    EXPECT_EQ(Variant::Boolean(true).toCurrencyScaled(), -10000);
    EXPECT_EQ(errorOf([] { Variant::Double(1e15).toCurrencyScaled(); }), VbErr::Overflow);
    EXPECT_EQ(Variant::CurrencyScaled(12345).toDouble(), 1.2345);
}

TEST_F(Conversions, BooleanFromNumbersAndText) {
    const struct {
        Variant value;
        bool expected;
        int error;
    } cases[] = {
        {Variant("True"), true, 0},
        {Variant(" false "), false, 0},
        {Variant("TRUE"), true, 0},
        {Variant("0"), false, 0},
        {Variant("-0.5"), true, 0},
        {Variant("yes"), false, VbErr::TypeMismatch},
        {Variant(), false, 0},
        {Variant::Double(0.0), false, 0},
        {Variant::Single(0.1f), true, 0},
        {Variant::CurrencyScaled(1), true, 0},
        {Variant::Integer(-1), true, 0},
        {Variant::Null(), false, VbErr::InvalidUseOfNull},
        {Variant::Missing(), false, VbErr::TypeMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.value));
        test::expectConversion([&] { return c.value.toBoolean(); }, c.expected, c.error);
    }
}

TEST_F(Conversions, ObjectsConvertOnlyToObjects) {
    auto ref = std::make_shared<int>(7);
    const Variant object = Variant::Object(ref);
    EXPECT_EQ(object.toObject(), ref);
    EXPECT_EQ(errorOf([&] { object.toString(); }), VbErr::TypeMismatch);
    EXPECT_EQ(errorOf([&] { object.toDouble(); }), VbErr::TypeMismatch);
    EXPECT_EQ(errorOf([] { Variant::Long(1).toObject(); }), VbErr::TypeMismatch);
    EXPECT_EQ(errorOf([] { Variant().toObject(); }), VbErr::TypeMismatch);
}

}  // namespace
}  // namespace zel
