#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "QuestionScript.h"
#include "files/NumberedFiles.h"
#include "files/mdlFileHandling.h"
#include "variant/VbError.h"

using namespace zel;
using NF = zel::NumberedFiles;

namespace {

const QString kReplace = "Bestand bestaat reeds, vervangen?";
const QString kCreate = "Pad bestaat niet. Dit pad aanmaken?";

QString notFound(const QString& name) {
    return "Kan bestand:" + name + " niet vinden, geef de bestandsnaam";
}

class OpenFileTest : public ::testing::Test {
protected:
    void SetUp() override { files_.CloseAll(); }
    void TearDown() override { files_.CloseAll(); }

    QString path(const QString& name) const { return dir_.path() + "/" + name; }
    QString make(const QString& name, const QByteArray& bytes = "old") const {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
    static QByteArray contents(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }
    int16_t open(Variant& name, const char* mode, const Variant& dir = Variant::Missing()) {
        return OpenFile(asked, files_, name, Variant(""), Variant(mode), dir).toInteger();
    }

    QTemporaryDir dir_;
    NumberedFiles files_;
};

TEST_F(OpenFileTest, InputAppliesTheDefaultDirectoryToBareNamesOnly) {
    make("x.psj");
    const struct {
        const char* mode;
        QString name;
        bool applied;
    } cases[] = {
        {"INPUT", "x.psj", true},      {"input", "x.psj", true}, {"INPUT-NP", "x.psj", true},
        {"INPUT", "sub/x.psj", false}, {"INPUT", "a:x", false},  {"INPUT", "a\\x", false},
    };
    for (const auto& c : cases) {
        QuestionScript script;
        if (!c.applied) script.then(QuestionScript::dismiss());
        Variant name(c.name);
        const int16_t n = open(name, c.mode, Variant(dir_.path() + "/"));
        if (c.applied) {
            EXPECT_EQ(n, 1) << c.mode;
            EXPECT_EQ(name.toString(), path("x.psj"));  // the doubled separator collapsed
            EXPECT_TRUE(script.shown().empty());
            EXPECT_EQ(files_.LineInput(n), "old");
            files_.Close(n);
        } else {
            EXPECT_EQ(n, -1) << c.name.toStdString();
            EXPECT_EQ(name.toString(), "");
            ASSERT_EQ(script.shown().size(), 1u);
            EXPECT_EQ(script.shown()[0].title, notFound(c.name));
        }
        EXPECT_EQ(files_.FreeFile(), 1);
    }
}

TEST_F(OpenFileTest, MissingInputOpensTheFilePickedInTheNotFoundDialog) {
    const QString good = make("good.psj", "ok\r\n");
    QuestionScript script;
    script.then(QuestionScript::pick(good));
    Variant name(path("missing.psj"));
    EXPECT_EQ(open(name, "INPUT"), 1);
    EXPECT_EQ(name.toString(), good);
    EXPECT_EQ(files_.LineInput(1), "ok");
    ASSERT_EQ(script.shown().size(), 1u);
    EXPECT_EQ(script.shown()[0].title, notFound(path("missing.psj")));
    EXPECT_FALSE(script.shown()[0].save);
}

TEST_F(OpenFileTest, ReplaceConfirmationGuardsExistingFiles) {
    const struct {
        const char* mode;
        QuestionScript::Answer answer;  // empty: no question expected
        int16_t result;
        QByteArray after;
    } cases[] = {
        {"OUTPUT", QuestionScript::cancel(), -1, "old"},
        {"OUTPUT", QuestionScript::ok(), 1, ""},
        {"OUTPUT-NT", {}, 1, ""},
        {"OUTPUT-BINARY", QuestionScript::cancel(), -1, "old"},
        {"OUTPUT-BINARY", QuestionScript::ok(), 1, ""},
        {"APPEND", {}, 1, "old"},
        {"BINARY", {}, 1, "old"},
    };
    for (const auto& c : cases) {
        const QString file = make("out.txt");
        QuestionScript script;
        if (c.answer) script.then(c.answer);
        Variant name(file);
        EXPECT_EQ(open(name, c.mode), c.result) << c.mode;
        EXPECT_EQ(contents(file), c.after) << c.mode;
        if (c.answer) {
            EXPECT_EQ(script.shown(), std::vector<Shown>({{kReplace, file}})) << c.mode;
        } else {
            EXPECT_TRUE(script.shown().empty()) << c.mode;
        }
        if (c.result > 0) {
            EXPECT_TRUE(files_.IsOpen(c.result));
            files_.Close(c.result);
        }
    }
}

TEST_F(OpenFileTest, OutputBinaryIsOpenForByteAccessAfterEmptying) {
    const QString file = make("data.bin", "0123456789");
    QuestionScript script;
    script.then(QuestionScript::ok());
    Variant name(file);
    EXPECT_EQ(open(name, "OUTPUT-BINARY"), 1);
    EXPECT_EQ(files_.Lof(1), 0);
    EXPECT_THROW(files_.LineInput(1), VbError);  // byte access, not line input
}

TEST_F(OpenFileTest, OutputQuUpperCasesTheChosenNamePart) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("Out"));
    QuestionScript script;
    script.then(QuestionScript::pick(path("Out/report.txt")));
    Variant name("rapport.txt");
    EXPECT_EQ(open(name, "OUTPUT-QU"), 1);
    EXPECT_EQ(name.toString(), path("Out/REPORT.TXT"));
    EXPECT_TRUE(QFile::exists(path("Out/REPORT.TXT")));
    ASSERT_EQ(script.shown().size(), 1u);
    EXPECT_EQ(script.shown()[0].title, "Geef de plaats van bestand: rapport.txt");
    EXPECT_TRUE(script.shown()[0].save);
}

TEST_F(OpenFileTest, CancelledAskFirstDialogOpensNothing) {
    for (const char* mode : {"INPUT-Q", "OUTPUT-Q", "APPEND-Q", "BINARY-Q", "INPUT-BINARY-Q",
                             "OUTPUT-BINARY-Q", "output-qu"}) {
        QuestionScript script;
        script.then(QuestionScript::dismiss());
        Variant name(make("kept.txt"));
        EXPECT_EQ(open(name, mode), -1) << mode;
        EXPECT_EQ(name.toString(), "") << mode;
        EXPECT_EQ(contents(path("kept.txt")), "old") << mode;
        ASSERT_EQ(script.shown().size(), 1u) << mode;
        EXPECT_EQ(script.shown()[0].title, "Geef de plaats van bestand: " + path("kept.txt"));
    }
}

TEST_F(OpenFileTest, AppendIntoMissingDirectoriesAsksDeepestFirstAndCreatesTopDown) {
    QuestionScript script;
    script.then(QuestionScript::ok()).then(QuestionScript::ok());
    Variant name(path("New/Sub/x.txt"));
    EXPECT_EQ(open(name, "APPEND"), 1);
    EXPECT_EQ(script.shown(),
              std::vector<Shown>({{kCreate, path("New/Sub/")}, {kCreate, path("New/")}}));
    EXPECT_TRUE(QFile::exists(path("New/Sub/x.txt")));
}

TEST_F(OpenFileTest, DeclinedDirectoryCreatesNothing) {
    QuestionScript script;
    script.then(QuestionScript::ok()).then(QuestionScript::cancel());
    Variant name(path("New/Sub/x.txt"));
    EXPECT_EQ(open(name, "OUTPUT-NT"), -1);
    EXPECT_FALSE(QDir(path("New")).exists());
    EXPECT_EQ(files_.FreeFile(), 1);
}

TEST_F(OpenFileTest, QuietModesShowNothing) {
    make("here.txt", "line\r\n");
    const struct {
        const char* mode;
        QString name;
        Variant dir;
        int16_t result;
    } cases[] = {
        {"INPUT-SHARED-NQ", "missing.txt", Variant(dir_.path()), -1},
        {"INPUT-BINARY-SHARED-NQ", path("missing.txt"), Variant::Missing(), -1},
        {"INPUT-SHARED-NQ", "here.txt", Variant(dir_.path()), 1},
        {"INPUT-BINARY-SHARED-NQ", path("here.txt"), Variant("  "), 1},
    };
    for (const auto& c : cases) {
        QuestionScript script;  // no answers: any question fails the test
        Variant name(c.name);
        EXPECT_EQ(open(name, c.mode, c.dir), c.result) << c.mode << c.name.toStdString();
        EXPECT_EQ(name.toString(), c.name);  // never written back
        files_.CloseAll();
    }
}

TEST_F(OpenFileTest, UnknownKeywordIsReportedUnderItsOwnText) {
    for (const char* mode : {" INPUT", "READ"}) {
        QuestionScript script;
        script.then(QuestionScript::ok());
        Variant name(make("x.txt"));
        EXPECT_EQ(open(name, mode), -1);
        EXPECT_EQ(script.shown(),
                  std::vector<Shown>({{mode, "Onbekende open opdracht aangetroffen"}}));
    }
}

TEST_F(OpenFileTest, FileExistsOnlyForRegularFilesOfThatName) {
    make("a.txt");
    EXPECT_TRUE(FileExists(path("a.txt")));
    EXPECT_FALSE(FileExists(path("b.txt")));
    EXPECT_FALSE(FileExists(path("*.txt")));
    EXPECT_FALSE(FileExists(dir_.path()));
    EXPECT_FALSE(FileExists(""));
}

TEST_F(OpenFileTest, MakePathRefusesTheRootAndNamesWithoutDirectory) {
    QuestionScript script;
    EXPECT_EQ(MakePath(asked, "x.txt", "J", false), -1);
    EXPECT_EQ(MakePath(asked, "/x.txt", "J", false), -1);
    EXPECT_EQ(MakePath(asked, path("a/"), "", false), 0);  // no question without "J"
    EXPECT_TRUE(QDir(path("a")).exists());
    EXPECT_TRUE(script.shown().empty());
}

}  // namespace
