#include <QFile>

#include "files/NumberedFiles.h"
#include "general/QuestionScript.h"
#include "test_compose_fixture.h"

namespace zel::testing {
namespace {

class TemplateTest : public PrintObjectTest {
protected:
    void SetUp() override {
        PrintObjectTest::SetUp();
        print_->SetMode(Variant("P"));
        printer_->clearCalls();
    }

    QString templateFile(const QByteArray& bytes, const QString& name = "t.psj") {
        const QString path = dir_.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }

    // The texts printed, in order (placeholders expanded).
    QStringList printed() const {
        QStringList texts;
        for (const QString& call : printer_->callsOf("Print"))
            texts << call.mid(6, call.lastIndexOf(',') - 6);
        return texts;
    }

    bool fromTemplate(Variant& name, const Variant& db = Variant(""),
                      const Variant& sql = Variant("")) {
        return print_->PrintFromSjabloon(db, sql, name);
    }
};

TEST_F(TemplateTest, EveryLineIsPrintedInOrderAndTheFileIsClosed) {
    const struct {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"een\r\ntwee\r\n", {"een", "twee"}},
        {"een\r\n\r\n\r\nvier", {"een", "", "", "vier"}},
        {"kop\rregel\nmet lf\r\n", {"kop", "regel\nmet lf"}},
    };
    for (const auto& c : cases) {
        printer_->clearCalls();
        QuestionScript script;  // no question at all
        Variant name(templateFile(c.bytes));
        EXPECT_FALSE(fromTemplate(name, Variant::Null(), Variant::Missing()));
        EXPECT_EQ(printed(), c.lines);
        EXPECT_EQ(name.toString(), dir_.filePath("t.psj"));
        EXPECT_EQ(context_->files().FreeFile(), 1);  // closed after its last line
    }
}

TEST_F(TemplateTest, TemplateLinesKeepGrowingAcrossPagesAndCalls) {
    QByteArray bytes;
    for (int i = 1; i <= 50; ++i) bytes += "regel " + QByteArray::number(i) + "\r\n";
    Variant name(templateFile(bytes));
    fromTemplate(name);
    fromTemplate(name);  // a second template goes on below the first
    const QStringList texts = printed();
    ASSERT_EQ(texts.size(), 100);
    EXPECT_EQ(texts.first(), "regel 1");
    EXPECT_EQ(texts.last(), "regel 50");
    EXPECT_EQ(printer_->callsOf("NewPage").size(), 1);  // 100 lines do not fit one page
    EXPECT_EQ(print_->CurrentPage, 2);
}

TEST_F(TemplateTest, MissingTemplateAndCancelledDialogSaysSoOnce) {
    QuestionScript script;
    script.then(QuestionScript::dismiss()).then(QuestionScript::ok());
    Variant name(dir_.filePath("weg.psj"));
    EXPECT_FALSE(fromTemplate(name));
    EXPECT_EQ(name.toString(), "");
    ASSERT_EQ(script.shown().size(), 2u);
    EXPECT_EQ(script.shown()[0].title,
              "Kan bestand:" + dir_.filePath("weg.psj") + " niet vinden, geef de bestandsnaam");
    EXPECT_EQ(script.shown()[1].text, "Er is geen sjabloon gevonden");
    EXPECT_TRUE(printed().isEmpty());
}

TEST_F(TemplateTest, TemplatePickedInTheDialogIsPrintedAndWrittenBack) {
    const QString chosen = templateFile("gekozen\r\n", "chosen.psj");
    QuestionScript script;
    script.then(QuestionScript::pick(chosen));
    Variant name(dir_.filePath("weg.psj"));
    fromTemplate(name);
    EXPECT_EQ(name.toString(), chosen);
    EXPECT_EQ(printed(), QStringList{"gekozen"});
}

}  // namespace
}  // namespace zel::testing
