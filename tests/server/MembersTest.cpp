#include <gtest/gtest.h>

#include "server/Members.h"

namespace {

// The wire contract clients are written against: a change here breaks them.
TEST(Members, SignaturesFollowTheDeclaredParameters) {
    struct Case {
        const char* member;
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"AddTekst", "vvva{sv}", "b"}, {"AddBox", "vvvva{sv}", ""}, {"Reset", "a{sv}", "v"},
        {"Spacing", "a{sv}", ""},      {"SetParm", "vv", ""},       {"Cls", "", ""},
        {"GetResult", "", "b"},        {"ToonBlad", "v", "v"},      {"NieuwBlad", "v", "b"},
        {"Watermerk", "va{sv}", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        const zel::MethodSpec* method = zel::findMethod(QLatin1String(c.member));
        ASSERT_NE(method, nullptr);
        EXPECT_EQ(method->inSignature(), QLatin1String(c.in));
        EXPECT_EQ(method->outSignature(), QLatin1String(c.out));
    }
    EXPECT_EQ(zel::findMethod(QStringLiteral("addtekst")), nullptr);
}

TEST(Members, WrittenBackParametersFollowTheResult) {
    const zel::MethodSpec method{
        "Lees", {"Naam", "Pad"}, {}, zel::ResultKind::Boolean, zel::Access::Held, nullptr, {1}};
    EXPECT_EQ(method.outSignature(), QStringLiteral("bv"));
}

TEST(Members, OnlyReadsAreAnsweredDuringAWait) {
    for (const zel::MethodSpec& method : zel::clsPrintMethods())
        EXPECT_EQ(method.access == zel::Access::Read, method.name == QLatin1String("GetResult"))
            << qPrintable(method.name);
}

}  // namespace
