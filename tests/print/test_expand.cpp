// Placeholder codes as they reach the printer: expanded at drawing time, in a fixed order.
#include "test_compose_fixture.h"

namespace zel::testing {
namespace {

class ExpandTekst : public PrintObjectTest {
protected:
    // The text as printed for a body text drawn without the page check.
    QString printed(const QString& text) {
        print_->SetMode(Variant("P"));
        printer_->clearCalls();
        print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant(text), kMissing,
                         kMissing, false);
        const QStringList prints = printer_->callsOf("Print");
        if (prints.size() != 1) return "<" + prints.join('|') + ">";
        const QString call = prints.first();
        return call.mid(6, call.size() - 6 - QString(",true)").size());
    }
};

TEST_F(ExpandTekst, CodesBecomeTheirValues) {
    Clock::pin(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    print_->SetParm(Variant::Integer(0), Variant("  nul  "));
    print_->SetParm(Variant::Integer(1), Variant("een"));
    print_->SetParm(Variant::Integer(2), Variant("[#3]"));
    print_->SetParm(Variant::Integer(3), Variant("drie"));
    print_->SetParm(Variant::Integer(4), Variant("#D"));
    print_->SetParm(Variant::Integer(5), Variant::Double(2.5));
    print_->SetParm(Variant::Integer(6), Variant("[#1]"));
    struct Case {
        int32_t page, line;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {7, 1, "Blad #B", "Blad   7"},
        {1234, 1, "#B", "234"},
        {1, -1, "#L", "  -1"},
        {1, 42, "r#l", "r  42"},
        {1, 1, "#D", "05-03-2024"},
        {1, 1, "#t", "14:07:09"},
        {1, 1, "#10", "een0"},
        {1, 1, "<#0>", "<nul>"},
        {1, 1, "#2", "[drie]"},
        {1, 1, "#6", "[#1]"},
        {1, 1, "#4", "#D"},
        {1, 1, "#5", "2.5"},
        {1, 1, "#9", ""},
        {1, 1, "#x #", "#x #"},
        {1, 1, "zonder code", "zonder code"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        print_->CurrentPage = c.page;
        print_->CurrentLine = c.line;
        EXPECT_EQ(printed(c.text), c.expected);
    }
}

TEST_F(ExpandTekst, PageAndLineCodesShowThePageTheTextLandsOn) {
    // The page check comes first: the text that starts a page shows that page's number, and a
    // watermark that starts one likewise.
    print_->SetMode(Variant("P"));
    print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("Blad #B regel #L"));
    const int32_t nextPage = geometry().LinesPerPage + 1;
    print_->AddTekst(Variant::Long(nextPage), Variant::Integer(1), Variant("Blad #B"));
    print_->NieuwBlad(Variant::Long(nextPage + 1));
    print_->Watermerk(Variant("#B"));
    EXPECT_EQ(printer_->callsOf("Print").join('|'),
              "Print(Blad   1 regel    0,true)|Print(Blad   2,true)|Print(  3,true)");
}

TEST_F(ExpandTekst, NestedCodesAreBoundedBeforeTheyGrow) {
    // Each level multiplies the text a thousandfold: a milliard characters at the third.
    print_->SetParm(Variant::Integer(0), Variant(QString("#1").repeated(1000)));
    print_->SetParm(Variant::Integer(1), Variant(QString("#2").repeated(1000)));
    print_->SetParm(Variant::Integer(2), Variant(QString("x").repeated(1000)));
    // A text or watermark refused so leaves the page as it was: none is started.
    print_->SetMode(Variant("PS"));
    printer_->clearCalls();
    EXPECT_EQ(
        errorOf([&] { print_->AddTekst(Variant::Integer(1), Variant::Integer(1), Variant("#0")); }),
        7);
    EXPECT_EQ(errorOf([&] { print_->Watermerk(Variant("#0")); }), 7);
    EXPECT_EQ(print_->CurrentPage, 0);
    EXPECT_TRUE(printer_->calls().isEmpty()) << printer_->calls().join('|').toStdString();
    EXPECT_EQ(errorOf([&] { printed("#0"); }), 7);
    // Up to the bound the text expands in full.
    EXPECT_EQ(printed("#1").size(), 1000 * 1000);
    // A text without codes has the same bound: laying out more would take gigabytes inside Qt,
    // which cannot recover from running out.
    EXPECT_EQ(printed(QString(1 << 20, 'x')).size(), 1 << 20);
    EXPECT_EQ(errorOf([&] { printed(QString((1 << 20) + 1, 'x')); }), 7);
}

}  // namespace
}  // namespace zel::testing
