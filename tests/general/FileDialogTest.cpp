#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "QuestionScript.h"
#include "files/FileDialog.h"

using namespace zel;

namespace {

class FileDialogTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;
};

TEST_F(FileDialogTest, TitleFirstNameAndFirstDirectoryFollowTheCall) {
    const QString d = dir_.path();
    const struct {
        QString name, option;
        Variant defaultDir;
        Shown expected;
        QString directory;
    } cases[] = {
        {d + "/x.psj",
         "E",
         Variant::Missing(),
         {"Kan bestand:" + d + "/x.psj niet vinden, geef de bestandsnaam", "x.psj"},
         d},
        {"", "Q", Variant::Missing(), {"Geef de bestandsnaam:", ""}, QDir::currentPath()},
        {"x.psj",
         "QU",
         Variant::Missing(),
         {"Geef de plaats van bestand: x.psj", "x.psj"},
         QDir::currentPath()},
        {"/elders/x.psj",
         "Q",
         Variant(d),
         {"Geef de plaats van bestand: /elders/x.psj", "x.psj"},
         d},
    };
    for (const auto& c : cases) {
        QuestionScript script;
        script.then(QuestionScript::dismiss());
        Variant name(c.name);
        EXPECT_EQ(
            AskFileName(asked, name, Variant(""), Variant("INPUT"), Variant(c.option), c.defaultDir)
                .toInteger(),
            -1);
        EXPECT_EQ(name.toString(), "");  // cancel empties the name
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(script.shown()[0], c.expected);
        EXPECT_EQ(script.shown()[0].directory, c.directory) << c.name.toStdString();
    }
}

TEST_F(FileDialogTest, ModeChoosesASaveOrAnOpenDialog) {
    const struct {
        const char* mode;
        bool save;
    } cases[] = {
        {"append-q", true}, {"OUTPUT", true},          {"OUTPUT-QU", true},
        {"BINARY", true},   {"OUTPUT-NT", false},      {"BINARY-WRITE", false},
        {"INPUT", false},   {"INPUT-BINARY-Q", false},
    };
    for (const auto& c : cases) {
        QuestionScript script;
        script.then(QuestionScript::dismiss());
        Variant name("x.txt");
        AskFileName(asked, name, Variant(""), Variant(c.mode), Variant("Q"));
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(script.shown()[0].save, c.save) << c.mode;
    }
}

TEST_F(FileDialogTest, ChosenFileComesBackAsItsFullPath) {
    const QString file = dir_.filePath("t.psj");
    QFile(file).open(QIODevice::WriteOnly);
    QuestionScript script;
    script.then(QuestionScript::pick(file));
    Variant name("t.psj");
    EXPECT_EQ(
        AskFileName(asked, name, Variant(""), Variant("INPUT"), Variant("E"), Variant(dir_.path()))
            .toInteger(),
        0);
    EXPECT_EQ(name.toString(), file);
}

TEST_F(FileDialogTest, FilterPairsBecomeNameFilters) {
    EXPECT_EQ(NameFilters(""), QStringList({"Alle bestanden (*)"}));
    EXPECT_EQ(NameFilters("Print sjabloon (*.psj)|*.psj|Alle bestanden (*.*)|*.*"),
              QStringList({"Print sjabloon (*.psj)", "Alle bestanden (*)"}));
    EXPECT_EQ(NameFilters("Tekst|*.txt;*.lst"), QStringList({"Tekst (*.txt *.lst)"}));
    EXPECT_EQ(NameFilters("Zonder patroon"), QStringList({"Zonder patroon (*)"}));
}

}  // namespace
