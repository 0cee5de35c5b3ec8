#include <gtest/gtest.h>

#include "general/NotInVb5.h"

using namespace zel;
using namespace zel::NotInVb5;

namespace {

TEST(MaxOfMinOf, PickTheExtremeOfTheGivenValues) {
    const Variant m = Variant::Missing();
    const struct {
        std::vector<Variant> args;  // always eight, Missing where not given
        double max;
        double min;
    } cases[] = {
        {{Variant::Long(3), Variant::Long(5), m, m, m, m, m, m}, 5, 3},
        {{Variant::Double(-1.5), Variant::Integer(-2), m, m, m, m, m, m}, -1.5, -2},
        {{Variant::Long(1), Variant::Long(2), Variant::Long(9), Variant::Long(-4), m, m, m, m},
         9,
         -4},
        {{Variant::Long(1), Variant::Long(2), m, Variant::Long(7), m, Variant::Long(-3), m,
          Variant::Long(8)},
         8,
         -3},
        {{Variant::Double(100), Variant::Single(99.5f), m, m, m, m, m, m}, 100, 99.5},
    };
    for (const auto& c : cases) {
        const auto& a = c.args;
        EXPECT_EQ(MaxOf(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]).toDouble(), c.max);
        EXPECT_EQ(MinOf(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]).toDouble(), c.min);
    }
    EXPECT_EQ(MaxOf(Variant::Long(1), Variant::Long(2)).toDouble(), 2);
}

TEST(MaxOfMinOf, OnATieTheEarlierValueStays) {
    // Equal numbers of different kinds: the kind of the first one tells which was returned.
    const Variant first = Variant::Integer(5);
    const Variant second = Variant::Double(5);
    EXPECT_TRUE(MaxOf(first, second).identical(first));
    EXPECT_TRUE(MinOf(first, second).identical(first));
    EXPECT_TRUE(MaxOf(Variant::Long(1), first, second).identical(first));
    EXPECT_TRUE(MinOf(Variant::Long(9), first, Variant::Long(6), second).identical(first));
}

}  // namespace
