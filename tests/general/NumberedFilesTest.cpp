#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "files/NumberedFiles.h"
#include "variant/VbError.h"

using namespace zel;
using NF = zel::NumberedFiles;

namespace {

class NumberedFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        files_.CloseAll();
        file_ = dir_.path() + "/page.txt";
        QFile f(file_);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("twelve bytes");
    }
    void TearDown() override { files_.CloseAll(); }

    static int errorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const VbError& e) {
            return e.number();
        }
        return 0;
    }

    QTemporaryDir dir_;
    NumberedFiles files_;
    QString file_;
};

TEST_F(NumberedFilesTest, OpensUnderTheFreeNumberAndGivesTheLength) {
    const int16_t n = files_.FreeFile();
    EXPECT_EQ(n, 1);
    files_.OpenBinaryRead(n, file_);
    EXPECT_TRUE(files_.IsOpen(n));
    EXPECT_EQ(files_.Lof(n), 12);
    EXPECT_EQ(files_.FreeFile(), 2);
    files_.Close(n);
    EXPECT_FALSE(files_.IsOpen(n));
    EXPECT_EQ(files_.FreeFile(), 1);
    files_.Close(n);  // closing a closed number is harmless
}

TEST_F(NumberedFilesTest, BadOpensGiveThePlatformsErrors) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir_.path() + "/fifo").constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("sub"));
    const struct {
        int16_t number;
        QString path;
        int error;
    } cases[] = {
        {1, dir_.path() + "/missing.txt", VbErr::FileNotFound},
        {1, dir_.path() + "/nodir/missing.txt", VbErr::PathNotFound},
        {1, file_ + "/below-a-file", VbErr::PathNotFound},
        {1, dir_.path() + "/fifo", VbErr::PathFileAccessError},
        {1, dir_.path() + "/sub", VbErr::PathFileAccessError},
        {1, "", VbErr::BadFileNameOrNumber},
        {0, file_, VbErr::BadFileNameOrNumber},
        {256, file_, VbErr::BadFileNameOrNumber},
        {-1, file_, VbErr::BadFileNameOrNumber},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(errorOf([&] { files_.OpenBinaryRead(c.number, c.path); }), c.error)
            << c.number << " " << c.path.toStdString();
        EXPECT_FALSE(files_.IsOpen(c.number));
    }
}

TEST_F(NumberedFilesTest, UnreadableFileIsAPathFileAccessError) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    ASSERT_TRUE(QFile::setPermissions(file_, QFileDevice::WriteOwner));
    EXPECT_EQ(errorOf([&] { files_.OpenBinaryRead(1, file_); }), VbErr::PathFileAccessError);
}

TEST_F(NumberedFilesTest, NumberInUseIsFileAlreadyOpen) {
    files_.OpenBinaryRead(5, file_);
    EXPECT_EQ(errorOf([&] { files_.OpenBinaryRead(5, file_); }), VbErr::FileAlreadyOpen);
    EXPECT_EQ(files_.Lof(5), 12);  // the first file stays open
}

TEST_F(NumberedFilesTest, NumberThatIsNotOpenIsABadFileNumber) {
    for (int16_t n : {int16_t(0), int16_t(1), int16_t(255), int16_t(256)})
        EXPECT_EQ(errorOf([&] { files_.Lof(n); }), VbErr::BadFileNameOrNumber) << n;
    EXPECT_EQ(errorOf([this] { files_.Close(0); }), VbErr::BadFileNameOrNumber);
}

TEST_F(NumberedFilesTest, AllNumbersInUseIsTooManyFiles) {
    for (int16_t n = NF::kLowest; n <= NF::kHighest; ++n)
        files_.OpenBinaryRead(files_.FreeFile(), file_);
    EXPECT_TRUE(files_.IsOpen(255));
    EXPECT_EQ(errorOf([this] { files_.FreeFile(); }), VbErr::TooManyFiles);
    files_.Close(100);
    EXPECT_EQ(files_.FreeFile(), 100);
    files_.CloseAll();
    EXPECT_EQ(files_.FreeFile(), 1);
}

}  // namespace
