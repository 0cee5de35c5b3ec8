#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "server/NamedArguments.h"
#include "variant/VbError.h"

using zel::Variant;

namespace {

const std::vector<zel::OptionalParameter> kDeclared = {
    {"Kleur", Variant::Missing(), false},
    {"Dikte", Variant::Integer(1), false},
    {"AddTabel", Variant::Boolean(true), true},
};

TEST(NamedArguments, KeysMatchWithoutRegardToCaseAndOmittedOnesTakeTheirDefault) {
    struct Case {
        const char* name;
        QVariantMap given;
        std::vector<Variant> expected;
    };
    const Case cases[] = {
        {"none given", {}, {Variant::Missing(), Variant::Integer(1), Variant::Boolean(true)}},
        {"exact case",
         {{"Kleur", 255}},
         {Variant::Long(255), Variant::Integer(1), Variant::Boolean(true)}},
        {"other case",
         {{"KLEUR", 255}, {"dikte", QVariant::fromValue<short>(3)}},
         {Variant::Long(255), Variant::Integer(3), Variant::Boolean(true)}},
        {"typed Boolean from a number",
         {{"addtabel", 0}},
         {Variant::Missing(), Variant::Integer(1), Variant::Boolean(false)}},
        {"typed Boolean from text",
         {{"AddTabel", "False"}},
         {Variant::Missing(), Variant::Integer(1), Variant::Boolean(false)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Variant> values = zel::namedArguments(c.given, kDeclared);
        ASSERT_EQ(values.size(), c.expected.size());
        for (size_t i = 0; i < values.size(); ++i)
            EXPECT_TRUE(values[i].identical(c.expected[i]))
                << i << ": " << qPrintable(values[i].typeName());
    }
}

TEST(NamedArguments, BadArgumentsRaiseTheirError) {
    struct Case {
        const char* name;
        QVariantMap given;
        int error;
    };
    const Case cases[] = {
        {"unknown name", {{"Kleurtje", 1}}, 448},
        {"named twice", {{"Kleur", 1}, {"kleur", 2}}, 5},
        {"typed Boolean from other text", {{"AddTabel", "abc"}}, 13},
        {"NaN", {{"Dikte", std::numeric_limits<double>::quiet_NaN()}}, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            zel::namedArguments(c.given, kDeclared);
            ADD_FAILURE() << "no error";
        } catch (const zel::VbError& e) {
            EXPECT_EQ(e.number(), c.error);
        }
    }
}

}  // namespace
