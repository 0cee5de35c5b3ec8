#include <cfloat>

#include "VariantTestSupport.h"

namespace zel {
namespace {

using test::errorOf;

class Arithmetic : public test::GermanLocale {};

// The result must match in kind and value, so a right number of the wrong kind fails.
void expectIdentical(const Variant& got, const Variant& expected) {
    EXPECT_TRUE(got.identical(expected)) << "got " << ::testing::PrintToString(got) << ", expected "
                                         << ::testing::PrintToString(expected);
}

TEST_F(Arithmetic, AdditionPicksThePlatformsResultKind) {
    const struct {
        Variant a, b, sum;
    } cases[] = {
        {Variant(), Variant::Integer(1), Variant::Integer(1)},
        {Variant(), Variant(), Variant::Integer(0)},
        {Variant::Integer(32767), Variant::Integer(1), Variant::Long(32768)},
        {Variant::Integer(-32768), Variant::Integer(-1), Variant::Long(-32769)},
        {Variant::Integer(1), Variant::Long(1), Variant::Long(2)},
        {Variant::Long(2147483647), Variant::Long(1), Variant::Double(2147483648.0)},
        {Variant::Long(-2147483647 - 1), Variant::Integer(-1), Variant::Double(-2147483649.0)},
        {Variant::Integer(1), Variant::Single(0.5f), Variant::Single(1.5f)},
        {Variant::Long(1), Variant::Single(0.5f), Variant::Double(1.5)},
        {Variant::Single(0.5f), Variant::Double(0.25), Variant::Double(0.75)},
        {Variant::CurrencyScaled(15000), Variant::Integer(1), Variant::CurrencyScaled(25000)},
        {Variant::CurrencyScaled(15000), Variant::Double(1), Variant::Double(2.5)},
        {Variant::Date(36526), Variant::Integer(1), Variant::Date(36527)},
        {Variant::Date(36526), Variant::Double(0.5), Variant::Date(36526.5)},
        {Variant::Boolean(true), Variant::Boolean(true), Variant::Integer(-2)},
        {Variant::Boolean(true), Variant::Long(5), Variant::Long(4)},
        {Variant::Boolean(true), Variant::Double(0.5), Variant::Double(-0.5)},
        {Variant("ab"), Variant("cd"), Variant("abcd")},
        {Variant("ab"), Variant(), Variant("ab")},
        {Variant(), Variant("cd"), Variant("cd")},
        {Variant("1.5"), Variant::Integer(1), Variant::Double(2.5)},
        {Variant::Integer(1), Variant(" 2 "), Variant::Double(3)},
        {Variant::Null(), Variant::Integer(1), Variant::Null()},
        {Variant("x"), Variant::Null(), Variant::Null()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.a) + " + " + ::testing::PrintToString(c.b));
        expectIdentical(c.a + c.b, c.sum);
    }
}

TEST_F(Arithmetic, SubtractionAndMultiplication) {
    const struct {
        Variant got, expected;
    } cases[] = {
        {Variant::Integer(-32768) - Variant::Integer(1), Variant::Long(-32769)},
        {Variant::Integer(200) * Variant::Integer(200), Variant::Long(40000)},
        {Variant::Integer(181) * Variant::Integer(181), Variant::Integer(32761)},
        {Variant::Long(65536) * Variant::Long(65536), Variant::Double(4294967296.0)},
        {Variant::Date(36527) - Variant::Date(36526.5), Variant::Double(0.5)},
        {Variant::Date(36527) - Variant::Integer(1), Variant::Date(36526)},
        {Variant::Date(2) * Variant::Integer(2), Variant::Double(4)},
        {Variant("5") - Variant("2"), Variant::Double(3)},
        {Variant::CurrencyScaled(15000) * Variant::CurrencyScaled(15000),
         Variant::CurrencyScaled(22500)},
        {Variant::CurrencyScaled(1) * Variant::CurrencyScaled(5000), Variant::CurrencyScaled(0)},
        {Variant::CurrencyScaled(3) * Variant::CurrencyScaled(5000), Variant::CurrencyScaled(2)},
        {Variant::CurrencyScaled(-3) * Variant::CurrencyScaled(5000), Variant::CurrencyScaled(-2)},
        {Variant::CurrencyScaled(10000) * Variant::Long(3), Variant::CurrencyScaled(30000)},
        {Variant::Single(2) * Variant::Single(3), Variant::Single(6)},
        {Variant() - Variant::Integer(1), Variant::Integer(-1)},
        {Variant::Null() * Variant::Integer(1), Variant::Null()},
    };
    for (const auto& c : cases) expectIdentical(c.got, c.expected);
}

TEST_F(Arithmetic, DivisionGivesDoubleExceptForSingles) {
    const struct {
        Variant got, expected;
    } cases[] = {
        {Variant::Integer(1) / Variant::Integer(2), Variant::Double(0.5)},
        {Variant::Long(7) / Variant::Long(2), Variant::Double(3.5)},
        {Variant::Single(1) / Variant::Single(4), Variant::Single(0.25f)},
        {Variant::Single(1) / Variant::Integer(4), Variant::Single(0.25f)},
        {Variant::Long(1) / Variant::Single(4), Variant::Double(0.25)},
        {Variant::CurrencyScaled(10000) / Variant::Integer(4), Variant::Double(0.25)},
        {Variant("1") / Variant("4"), Variant::Double(0.25)},
        {Variant::Null() / Variant::Integer(0), Variant::Null()},
    };
    for (const auto& c : cases) expectIdentical(c.got, c.expected);
}

TEST_F(Arithmetic, ErrorsOfArithmetic) {
    const struct {
        std::function<void()> call;
        int error;
        const char* what;
    } cases[] = {
        {[] { Variant::Integer(1) / Variant::Integer(0); }, VbErr::DivisionByZero, "1/0"},
        {[] { Variant::Integer(1) / Variant(); }, VbErr::DivisionByZero, "1/Empty"},
        {[] { Variant::Integer(0) / Variant::Integer(0); }, VbErr::Overflow, "0/0"},
        {[] { Variant::Double(1e308) * Variant::Double(10); }, VbErr::Overflow, "Double"},
        {[] { Variant::Single(FLT_MAX) * Variant::Single(2); }, VbErr::Overflow, "Single"},
        {[] { Variant::CurrencyScaled(INT64_MAX) + Variant::CurrencyScaled(1); }, VbErr::Overflow,
         "Currency"},
        {[] { Variant::Date(2958465) + Variant::Integer(1); }, VbErr::Overflow, "Date"},
        {[] { Variant("a") - Variant("b"); }, VbErr::TypeMismatch, "text minus text"},
        {[] { Variant("a") + Variant::Integer(1); }, VbErr::TypeMismatch, "text plus number"},
        {[] { Variant::Missing() + Variant::Integer(1); }, VbErr::TypeMismatch, "missing"},
        {[] { Variant::Missing() + Variant::Null(); }, VbErr::TypeMismatch, "missing, Null"},
        {[] { Variant::Object(nullptr) * Variant::Integer(1); }, VbErr::TypeMismatch, "object"},
    };
    for (const auto& c : cases) EXPECT_EQ(errorOf(c.call), c.error) << c.what;
}

TEST_F(Arithmetic, CountingPastTheIntegerRangeContinuesAsLong) {
    Variant count = Variant::Integer(0);
    for (int i = 0; i < 32768; ++i) count = count + Variant::Integer(1);
    expectIdentical(count, Variant::Long(32768));
}

TEST_F(Arithmetic, IntIsTheFloorInTheValuesOwnKind) {
    const struct {
        Variant value, floor;
    } cases[] = {
        {Variant::Double(-2.5), Variant::Double(-3)},
        {Variant::Double(2.5), Variant::Double(2)},
        {Variant::Double(-3), Variant::Double(-3)},
        {Variant::Single(-0.5f), Variant::Single(-1)},
        {Variant::Integer(-7), Variant::Integer(-7)},
        {Variant::Long(100000), Variant::Long(100000)},
        {Variant::CurrencyScaled(-15000), Variant::CurrencyScaled(-20000)},
        {Variant::CurrencyScaled(15000), Variant::CurrencyScaled(10000)},
        {Variant::CurrencyScaled(-20000), Variant::CurrencyScaled(-20000)},
        {Variant::Date(36526.75), Variant::Date(36526)},
        {Variant::Boolean(true), Variant::Integer(-1)},
        {Variant(" -1.5 "), Variant::Double(-2)},
        {Variant(), Variant::Integer(0)},
        {Variant::Null(), Variant::Null()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.value));
        expectIdentical(Int(c.value), c.floor);
    }
    EXPECT_EQ(errorOf([] { Int(Variant("x")); }), VbErr::TypeMismatch);
    EXPECT_EQ(errorOf([] { Int(Variant::Missing()); }), VbErr::TypeMismatch);
}

}  // namespace
}  // namespace zel
