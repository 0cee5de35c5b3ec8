#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "files/NumberedFiles.h"
#include "support/ErrorOf.h"
#include "variant/VbError.h"

using namespace zel;
using NF = zel::NumberedFiles;

namespace {

class LineInputTest : public ::testing::Test {
protected:
    void TearDown() override { files_.CloseAll(); }

    QString write(const QByteArray& bytes) {
        const QString path = dir_.filePath("t.psj");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }

    // Every line of the file, read as template printing reads it.
    QStringList lines(const QByteArray& bytes) {
        files_.OpenInput(1, write(bytes));
        QStringList read;
        while (!files_.Eof(1)) read << files_.LineInput(1);
        files_.Close(1);
        return read;
    }

    QTemporaryDir dir_;
    NumberedFiles files_;
};

TEST_F(LineInputTest, LinesEndAtCarriageReturnWithOrWithoutLineFeed) {
    const struct {
        QByteArray bytes;
        QStringList expected;
    } cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb\r\n", {"a\nb"}},  // a lone line feed stays inside the line
        {"last without end", {"last without end"}},
        {"a\r\n\r\n\r\nb", {"a", "", "", "b"}},
        {"\r\n", {""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"caf\xc3\xa9 \xe2\x82\xac\r\n", {QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac")}},
    };
    for (const auto& c : cases) EXPECT_EQ(lines(c.bytes), c.expected) << c.bytes.toStdString();
}

TEST_F(LineInputTest, LineLongerThanTheReadBufferIsReadWholeUpToTheLongestText) {
    const QByteArray longLine(200000, 'x');
    EXPECT_EQ(lines(longLine + "\r\n" + "y"), QStringList({QString(longLine), "y"}));
    // The longest text is 1 048 576 characters, whatever the bytes each takes.
    const QByteArray atBound(1 << 20, 'x');
    EXPECT_EQ(lines(atBound + "\r\ny"), QStringList({QString(atBound), "y"}));
    QByteArray wide;
    for (int i = 0; i < 1 << 20; ++i) wide += "\xe2\x82\xac";
    EXPECT_EQ(lines(wide).value(0).size(), 1 << 20);
    for (const QByteArray& past :
         {atBound + 'x', wide + "\xe2\x82\xac", QByteArray(10 << 20, 'x')}) {
        files_.OpenInput(1, write(past + "\r\nnext"));
        EXPECT_EQ(zel::testing::errorOf([this] { files_.LineInput(1); }), 7);
        files_.Close(1);
    }
}

TEST_F(LineInputTest, ReadingPastTheEndIsError62) {
    files_.OpenInput(3, write("only\r\n"));
    EXPECT_EQ(files_.LineInput(3), "only");
    EXPECT_TRUE(files_.Eof(3));
    try {
        files_.LineInput(3);
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), VbErr::InputPastEndOfFile);
    }
}

TEST_F(LineInputTest, FileNotOpenForInputIsABadFileNumber) {
    files_.OpenBinaryRead(2, write("x"));
    for (int16_t n : {int16_t(2), int16_t(4)}) {
        EXPECT_THROW(files_.LineInput(n), VbError);
        EXPECT_THROW(files_.Eof(n), VbError);
    }
}

TEST_F(LineInputTest, OpenKindsCreateEmptyOrKeepTheFile) {
    using Open = std::function<void(int16_t, const QString&)>;
    const auto binary = [this](NF::ByteAccess a) {
        return [this, a](int16_t n, const QString& p) { files_.OpenBinary(n, p, a); };
    };
    const auto sequential = [this](void (NF::*how)(int16_t, const QString&)) {
        return [this, how](int16_t n, const QString& p) { (files_.*how)(n, p); };
    };
    const struct {
        const char* kind;
        Open open;
        int64_t length;  // of the existing three-byte file once opened
    } cases[] = {
        {"output", sequential(&NF::OpenOutput), 0},
        {"append", sequential(&NF::OpenAppend), 3},
        {"binary", binary(NF::ByteAccess::ReadWrite), 3},
        {"binary write", binary(NF::ByteAccess::WriteOnly), 3},
    };
    for (const auto& c : cases) {
        const QString path = write("old");
        c.open(1, path);
        EXPECT_EQ(files_.Lof(1), c.length) << c.kind;
        files_.Close(1);
        const QString fresh = dir_.filePath(QString("fresh-%1").arg(c.kind));
        c.open(1, fresh);
        EXPECT_TRUE(QFile::exists(fresh)) << c.kind;
        files_.Close(1);
    }
}

TEST_F(LineInputTest, MkDirGivesThePlatformsErrors) {
    NF::MkDir(dir_.filePath("made"));
    const struct {
        QString path;
        int error;
    } cases[] = {
        {dir_.filePath("made"), VbErr::PathFileAccessError},
        {dir_.filePath("no/such"), VbErr::PathNotFound},
        {"", VbErr::BadFileNameOrNumber},
    };
    for (const auto& c : cases) {
        try {
            NF::MkDir(c.path);
            ADD_FAILURE() << "no error for " << c.path.toStdString();
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), c.error) << c.path.toStdString();
        }
    }
}

}  // namespace
