#include "VariantTestSupport.h"

namespace zel {
namespace {

using test::errorOf;

class Comparison : public test::GermanLocale {};

TEST_F(Comparison, OrdersNumbersTextAndEmptyLikeThePlatform) {
    const struct {
        Variant a, b;
        int order;
    } cases[] = {
        {Variant(), Variant::Integer(0), 0},
        {Variant(), Variant::Double(-0.5), 1},
        {Variant(), Variant(), 0},
        {Variant(), Variant(""), 0},
        {Variant(), Variant("a"), -1},
        {Variant("10"), Variant::Integer(9), 1},
        {Variant::Integer(9), Variant(" 10 "), -1},
        {Variant::Long(10), Variant("1E1"), 0},
        {Variant::Integer(9), Variant("abc"), -1},
        {Variant("abc"), Variant::Double(1e300), 1},
        {Variant("10"), Variant("9"), -1},  // text against text is binary
        {Variant("a"), Variant("B"), 1},
        {Variant("a"), Variant("a"), 0},
        {Variant("a"), Variant("ab"), -1},
        {Variant::Boolean(true), Variant::Integer(-1), 0},
        {Variant::Boolean(false), Variant::Boolean(true), 1},
        {Variant::Integer(3), Variant::Double(2.5), 1},
        {Variant::CurrencyScaled(25000), Variant::Double(2.5), 0},
        {Variant::CurrencyScaled(1), Variant::CurrencyScaled(2), -1},
        {Variant::Long(INT32_MAX), Variant::CurrencyScaled(int64_t{INT32_MAX} * 10000), 0},
        {Variant::Single(0.5f), Variant::Double(0.5), 0},
        {Variant::Date(36526), Variant::Long(36526), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.a) + " vs " + ::testing::PrintToString(c.b));
        EXPECT_EQ(compare(c.a, c.b), c.order);
        EXPECT_EQ(compare(c.b, c.a), -c.order);
    }
}

TEST_F(Comparison, OperatorsFollowCompare) {
    EXPECT_TRUE(Variant::Integer(-1) < Variant());
    EXPECT_TRUE(Variant::Integer(10) > Variant::Integer(-1));
    EXPECT_TRUE(Variant::Integer(9) <= Variant::Double(9));
    EXPECT_TRUE(Variant("x") >= Variant("x"));
    EXPECT_TRUE(Variant::Integer(1) == Variant::Double(1));
    EXPECT_TRUE(Variant::Integer(1) != Variant::Double(1.5));
}

TEST_F(Comparison, NullMissingAndObjectsCannotBeCompared) {
    const struct {
        Variant a, b;
        int error;
    } cases[] = {
        {Variant::Null(), Variant::Integer(1), VbErr::InvalidUseOfNull},
        {Variant("x"), Variant::Null(), VbErr::InvalidUseOfNull},
        {Variant::Null(), Variant::Null(), VbErr::InvalidUseOfNull},
        {Variant::Missing(), Variant::Integer(1), VbErr::TypeMismatch},
        {Variant::Integer(1), Variant::Object(nullptr), VbErr::TypeMismatch},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(errorOf([&] { compare(c.a, c.b); }), c.error);
    }
}

TEST_F(Comparison, IdenticalNeedsTheSameKindAndValue) {
    auto ref = std::make_shared<int>(1);
    EXPECT_TRUE(Variant::Integer(1).identical(Variant::Integer(1)));
    EXPECT_FALSE(Variant::Integer(1).identical(Variant::Long(1)));
    EXPECT_FALSE(Variant::Single(1).identical(Variant::Double(1)));
    EXPECT_FALSE(Variant("a").identical(Variant("A")));
    EXPECT_TRUE(Variant::Null().identical(Variant::Null()));
    EXPECT_FALSE(Variant::Null().identical(Variant()));
    EXPECT_FALSE(Variant::Missing().identical(Variant()));
    EXPECT_TRUE(Variant::Object(ref).identical(Variant::Object(ref)));
    EXPECT_FALSE(Variant::Object(ref).identical(Variant::Object(std::make_shared<int>(1))));
}

}  // namespace
}  // namespace zel
