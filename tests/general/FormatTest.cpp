#include <gtest/gtest.h>

#include "general/DateConv.h"
#include "general/Format.h"
#include "variant/VbError.h"

using namespace zel;

namespace {

TEST(Format, NumberPictures) {
    const struct {
        double value;
        const char* picture;
        const char* expected;
    } cases[] = {
        {7, "##0", "7"},
        {0, "##0", "0"},
        {0, "###", ""},
        {1234, "##0", "1234"},
        {-1, "###0", "-1"},
        {5, "000", "005"},
        {5, "#0#", "05"},
        {1234567, "0", "1234567"},
        {3.14159, "0.00", "3.14"},
        {2.675, "0.00", "2.68"},
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {0.5, "#", "1"},
        {9.995, "0.00", "10.00"},
        {0.25, "#.##", ".25"},
        {1.5, "0.0#", "1.5"},
        {1.5, "0.##", "1.5"},
        {2, "0.##", "2."},
        {-0.001, "0.00", "0.00"},
        {-0.5, "0.0", "-0.5"},
        {12, "<0>", "<12>"},
        {1e20, "0", "100000000000000000000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Format(Variant::Double(c.value), c.picture), c.expected)
            << c.value << " " << c.picture;
    }
}

TEST(Format, DatePictures) {
    // 5 March 2024, 07:08:09
    const double moment = 45356 + (7 * 3600 + 8 * 60 + 9) / 86400.0;
    const struct {
        const char* picture;
        const char* expected;
    } cases[] = {
        {"DD-MM-YYYY", "05-03-2024"},
        {"dd-mm-yyyy", "05-03-2024"},
        {"d/m/yy", "5/3/24"},
        {"HH:MM:SS", "07:08:09"},
        {"h:m:s", "7:8:9"},
        {"hh:nn", "07:08"},
        {"MM:SS", "08:09"},
        {"YYYY-MM-DD HH:MM", "2024-03-05 07:08"},
        {"ddd dddd mmm mmmm", "Tue Tuesday Mar March"},
        {"y", "65"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(Variant::Date(moment), c.picture), c.expected) << c.picture;
}

TEST(Format, TimeRoundsToTheNearestSecondAcrossMidnight) {
    const double almostMidnight = 45356 + (86400 - 0.4) / 86400.0;
    EXPECT_EQ(Format(Variant::Date(almostMidnight), "DD-MM-YYYY HH:MM:SS"), "06-03-2024 00:00:00");
}

TEST(Format, TextWithoutANumberIsReturnedAndNullIsAnError) {
    EXPECT_EQ(Format(Variant("abc"), "##0"), "abc");
    EXPECT_EQ(Format(Variant("abc"), "DD-MM-YYYY"), "abc");
    EXPECT_EQ(Format(Variant("12"), "000"), "012");
    EXPECT_EQ(Format(Variant::Long(12), ""), "12");
    try {
        Format(Variant::Null(), "0");
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), VbErr::InvalidUseOfNull);
    }
}

TEST(DateConv, SerialsAndCalendarMomentsMatch) {
    const struct {
        double days;
        QDate date;
        QTime time;
    } cases[] = {
        {0, {1899, 12, 30}, {0, 0}},       {1.5, {1899, 12, 31}, {12, 0}},
        {-1.25, {1899, 12, 29}, {6, 0}},   {45356.75, {2024, 3, 5}, {18, 0}},
        {2958465, {9999, 12, 31}, {0, 0}}, {-657434, {100, 1, 1}, {0, 0}},
    };
    for (const auto& c : cases) {
        const QDateTime moment = DateConv::fromDays(c.days);
        EXPECT_EQ(moment.date(), c.date) << c.days;
        EXPECT_EQ(moment.time(), c.time) << c.days;
        EXPECT_DOUBLE_EQ(DateConv::toDays(QDateTime(c.date, c.time)), c.days);
    }
    for (double outside : {2958466.0, -657436.0}) {
        try {
            DateConv::fromDays(outside);
            FAIL() << outside;
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), VbErr::Overflow);
        }
    }
}

}  // namespace
