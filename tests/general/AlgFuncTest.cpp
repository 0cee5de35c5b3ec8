#include <gtest/gtest.h>

#include "general/AlgFunc.h"
#include "general/Clock.h"
#include "general/DateConv.h"
#include "variant/VbError.h"

using namespace zel;
using namespace zel::AlgFunc;

namespace {

struct ReplaceCase {
    const char* tekst;
    const char* zoek;
    const char* vervang;
    bool alle;
    bool hoofdlettergevoelig;
    bool behoud;
    const char* expected;
};

TEST(VervangTekst, ReplacesByTheFlags) {
    const ReplaceCase cases[] = {
        {"a-b-c", "-", "+", false, false, false, "a+b-c"},
        {"a-b-c", "-", "+", true, false, false, "a+b+c"},
        {"Pagina #b van #B", "#B", "7", true, false, false, "Pagina 7 van 7"},
        {"Pagina #b van #B", "#B", "7", true, true, false, "Pagina #b van 7"},
        {"Pagina #b van #B", "#B", "7", false, true, false, "Pagina #b van 7"},
        {"geen treffer", "x", "y", true, false, false, "geen treffer"},
        {"NAAM en naam en Naam", "naam", "klant", true, false, true, "KLANT en klant en klant"},
        {"Naam", "naam", "Klant", true, false, true, "Klant"},
        {"nAaM", "naam", "kLaNt", true, false, true, "kLaNt"},
        {"a 12 b", "12", "XyZ", true, false, true, "a xyz b"},
        {"aaaa", "aa", "a", true, true, false, "aa"},
        {"abab", "ab", "abab", true, true, false, "abababab"},
        {"", "a", "b", true, false, false, ""},
    };
    for (const ReplaceCase& c : cases) {
        Variant tekst(c.tekst);
        const Variant result = VervangTekst(tekst, Variant(c.zoek), Variant(c.vervang), c.alle,
                                            c.hoofdlettergevoelig, c.behoud);
        EXPECT_EQ(result.toString(), QString::fromUtf8(c.expected)) << c.tekst << " / " << c.zoek;
        EXPECT_EQ(tekst.toString(), QString::fromUtf8(c.expected)) << "written back: " << c.tekst;
    }
}

TEST(VervangTekst, LongTextIsReplacedInOnePassLikeAShortOne) {
    // A replacement that contains the search text must not be replaced again, however long
    // the text: the same rule for 10 and for 300 characters.
    for (int repeats : {5, 150, 1000}) {
        const QString text = QString("ab").repeated(repeats);
        Variant tekst(text);
        VervangTekst(tekst, Variant("a"), Variant("[a]"), true, true, false);
        EXPECT_EQ(tekst.toString(), QString("[a]b").repeated(repeats)) << repeats;
    }
}

TEST(VervangTekst, EmptySearchTextLeavesTheTextAlone) {
    for (bool alle : {false, true}) {
        Variant tekst("tekst");
        EXPECT_EQ(VervangTekst(tekst, Variant(""), Variant("x"), alle, false, false).toString(),
                  "tekst");
        EXPECT_EQ(tekst.toString(), "tekst");
    }
}

TEST(VervangTekst, NullTextIsInvalidUseOfNull) {
    Variant tekst = Variant::Null();
    try {
        VervangTekst(tekst, Variant("a"), Variant("b"), true, false, false);
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), VbErr::InvalidUseOfNull);
    }
}

TEST(FormatGetal, RightAlignsInTheFieldAndKeepsTheLastCharacters) {
    const struct {
        Variant waarde;
        const char* formaat;
        const char* expected;
    } cases[] = {
        {Variant::Long(7), "##0", "  7"},    {Variant::Long(0), "##0", "  0"},
        {Variant::Long(1234), "##0", "234"}, {Variant::Long(-1), "##0", " -1"},
        {Variant::Long(-1), "###0", "  -1"}, {Variant::Long(-123), "##0", "123"},
        {Variant::Long(42), "###0", "  42"}, {Variant::Null(), "##0", "  0"},
        {Variant(), "##0", "  0"},           {Variant(" 12 "), "##0", " 12"},
        {Variant("abc"), "#####", "  abc"},  {Variant::Double(2.5), "0", "3"},
        {Variant::Long(7), "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatGetal(c.waarde, Variant(c.formaat)).toString(), c.expected)
            << c.waarde.typeName().toStdString() << " " << c.formaat;
    }
}

TEST(FormatDatum, FormatsDatesAfterTheZeroDayAndGivesStandaardOtherwise) {
    const Variant standaard("geen");
    const double day = 45000.75;  // 15-03-2023 18:00
    EXPECT_EQ(FormatDatum(Variant::Date(day), Variant("DD-MM-YYYY"), standaard).toString(),
              "15-03-2023");
    EXPECT_EQ(FormatDatum(Variant::Double(day), Variant("DD-MM-YYYY"), standaard).toString(),
              "15-03-2023");
    EXPECT_EQ(FormatDatum(Variant::Date(1), Variant("DD-MM-YYYY"), standaard).toString(),
              "31-12-1899");
    for (const Variant& none :
         {Variant::Date(0), Variant::Date(-5), Variant::Null(), Variant(), Variant::Missing()}) {
        EXPECT_TRUE(FormatDatum(none, Variant("DD-MM-YYYY"), standaard).identical(standaard))
            << none.typeName().toStdString();
    }
}

TEST(FormatTijd, MidnightShowsOnlyWhenAltijd) {
    const Variant formaat("HH:MM:SS");
    EXPECT_EQ(FormatTijd(Variant::Date(45000), formaat, true).toString(), "00:00:00");
    EXPECT_EQ(FormatTijd(Variant::Date(45000), formaat, false).toString(), "");
    EXPECT_EQ(FormatTijd(Variant::Null(), formaat, false).toString(), "");
    EXPECT_EQ(FormatTijd(Variant::Null(), formaat, true).toString(), "00:00:00");
    const double time = (13 * 3600 + 5 * 60 + 9) / 86400.0;
    EXPECT_EQ(FormatTijd(Variant::Date(45000 + time), formaat, false).toString(), "13:05:09");
    EXPECT_EQ(FormatTijd(Variant::Date(45000 + time), formaat, true).toString(), "13:05:09");
}

TEST(FormatTijd, ClockTimeIsPrintedAsTheSecondItIsIn) {
    // Half a second before midnight the time must not round up to the next day's 00:00:00
    // while the date still shows the old day.
    Clock::pin(QDateTime(QDate(2024, 3, 5), QTime(23, 59, 59, 700)));
    const Variant moment = DateConv::toDateVariant(Clock::now());
    EXPECT_EQ(FormatTijd(moment, Variant("HH:MM:SS"), true).toString(), "23:59:59");
    EXPECT_EQ(FormatDatum(moment, Variant("DD-MM-YYYY"), Variant("")).toString(), "05-03-2024");
    Clock::unpin();
    EXPECT_EQ(Clock::now().time().msec(), 0);
}

TEST(NullWaarde, GivesStandaardForNoValueTrimsStringsAndKeepsTheRest) {
    const Variant standaard("std");
    for (const Variant& none : {Variant::Null(), Variant(), Variant::Missing()})
        EXPECT_TRUE(NullWaarde(none, standaard).identical(standaard));
    EXPECT_TRUE(NullWaarde(Variant("  a b  "), standaard).identical(Variant("a b")));
    EXPECT_TRUE(NullWaarde(Variant("\tx "), standaard).identical(Variant("\tx")));
    EXPECT_TRUE(NullWaarde(Variant("   "), standaard).identical(Variant("")));
    for (const Variant& kept : {Variant::Integer(-3), Variant::Long(70000), Variant::Double(1.5),
                                Variant::Date(2.25), Variant::Boolean(false)})
        EXPECT_TRUE(NullWaarde(kept, standaard).identical(kept)) << kept.typeName().toStdString();
}

}  // namespace
