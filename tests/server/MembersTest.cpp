#include <gtest/gtest.h>

#include <QFile>

#include "server/InterfaceReference.h"
#include "server/Members.h"
#include "server/PythonMembers.h"

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
        "Lees",  "", {{"Naam", ""}, {"Pad", ""}}, {}, zel::ResultKind::Boolean, zel::Access::Held,
        nullptr, {1}};
    EXPECT_EQ(method.outSignature(), QStringLiteral("bv"));
}

// The interface description documents every member, argument, optional key, property and
// signal from the tables: a new entry without its documentation fails here. gdbus-codegen
// copies the texts into C strings as they are, so a double quote or a backslash in one breaks
// the generated code.
void expectDoc(const QString& doc, const QString& what) {
    EXPECT_FALSE(doc.isEmpty()) << qPrintable(what);
    EXPECT_FALSE(doc.contains(u'"') || doc.contains(u'\\')) << qPrintable(what);
}

TEST(Members, EveryEntryIsDocumented) {
    for (const zel::MethodSpec& method : zel::clsPrintMethods()) {
        expectDoc(method.doc, method.name);
        for (const zel::Parameter& parameter : method.required)
            expectDoc(parameter.doc, method.name + " " + parameter.name);
        for (const zel::OptionalParameter& option : method.optional)
            expectDoc(option.doc, method.name + " " + option.name);
    }
    for (const zel::OptionalParameter& option : zel::createOptions())
        expectDoc(option.doc, "Create " + option.name);
    for (const zel::PropertySpec& property : zel::clsPrintProperties())
        expectDoc(property.doc, property.name);
    for (const auto* signalList : {&zel::clsPrintSignals(), &zel::jobSignals()})
        for (const zel::SignalSpec& signal : *signalList) {
            expectDoc(signal.doc, signal.name);
            for (const zel::SignalArgument& argument : signal.arguments)
                expectDoc(argument.doc, signal.name + " " + argument.name);
        }
}

TEST(Members, OnlyReadsAreAnsweredDuringAWait) {
    for (const zel::MethodSpec& method : zel::clsPrintMethods())
        EXPECT_EQ(method.access == zel::Access::Read, method.name == QLatin1String("GetResult"))
            << qPrintable(method.name);
}

// The reference and the Python package's module are committed files made from the tables: a
// member or a text changed without making them again would document what the server no
// longer does.
TEST(Members, CommittedFilesAreWhatTheTablesMake) {
    struct Case {
        const char* path;
        QString (*make)();
        const char* command;
    };
    const Case cases[] = {
        {"docs/api.md", zel::interfaceReference, "--markdown"},
        {"clients/python/zelprint/members.py", zel::pythonMembers, "--python"},
    };
    for (const Case& c : cases) {
        QFile file(QStringLiteral(ZEL_SOURCE_DIR "/") + QLatin1String(c.path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.path;
        EXPECT_TRUE(QString::fromUtf8(file.readAll()) == c.make())
            << c.path << " is not what the tables make: zelprint interface " << c.command << " >"
            << c.path;
    }
}

}  // namespace
