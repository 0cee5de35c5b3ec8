#include <gtest/gtest.h>

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include "QuestionScript.h"
#include "windows/FileDialog.h"

using namespace zel;

namespace {

class FileDialogTest : public ::testing::Test {
protected:
    // Qt's dialogs keep their last folder in the settings: a private store for each test.
    void SetUp() override {
        saved_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath("config")));
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", saved_); }

    QTemporaryDir dir_;
    QByteArray saved_;
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
        {"", "Q", Variant::Missing(), {"Geef de bestandsnaam:", ""}, QDir::homePath()},
        {"x.psj",
         "QU",
         Variant::Missing(),
         {"Geef de plaats van bestand: x.psj", "x.psj"},
         QDir::homePath()},
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

TEST_F(FileDialogTest, NeverStartsInAPseudoFileSystemNorReadsFilesWhileListing) {
    // A file whose type only its contents tell: a dialog that reads files while listing them
    // would read /proc/kmsg too, which never returns.
    QFile pdf(dir_.filePath("zonder-achtervoegsel"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write("%PDF-1.4\n");
    pdf.close();
    QSettings qt(QSettings::UserScope, "QtProject");
    const auto lastFolder = [&qt] {
        qt.sync();
        return QUrl(qt.value("FileDialog/lastVisited").toString()).toLocalFile();
    };
    const struct {
        QString name;
        Variant defaultDir;
    } cases[] = {
        {"x.psj", Variant("/proc")},
        {"/sys/kernel/x.psj", Variant::Missing()},
        {"/dev/x.psj", Variant::Missing()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        qt.setValue("FileDialog/lastVisited", "file:///proc");  // as an earlier dialog left it
        qt.sync();
        QString type;
        QString remembered;
        QuestionScript script;
        script.then([&](QWidget* question) {
            auto* dialog = qobject_cast<QFileDialog*>(question);
            ASSERT_NE(dialog, nullptr);
            remembered = lastFolder();
            type = dialog->iconProvider()->type(QFileInfo(pdf.fileName()));
            dialog->setDirectory("/proc");  // the user looks there, and gives up
            dialog->reject();
        });
        Variant name(c.name);
        AskFileName(asked, name, Variant(""), Variant("INPUT"), Variant("E"), c.defaultDir);
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(script.shown()[0].directory, QDir::homePath());
        EXPECT_FALSE(remembered.startsWith("/proc")) << remembered.toStdString();
        EXPECT_FALSE(type.contains("PDF")) << type.toStdString();
        EXPECT_FALSE(lastFolder().startsWith("/proc")) << lastFolder().toStdString();
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
