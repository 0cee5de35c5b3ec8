#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "general/SettingsStore.h"
#include "variant/VbError.h"

using namespace zel;

namespace {

// Each case gets its own configuration directory.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", saved_); }

    QTemporaryDir dir_;
    QByteArray saved_;
};

TEST_F(SettingsStoreTest, ValuesRoundTripPerApplicationAndSection) {
    EXPECT_EQ(GetSetting("ZelPrintDemo", "Main", "WindowHeight", "d"), "d");
    SaveSetting("ZelPrintDemo", "Main", "WindowHeight", "7200");
    SaveSetting("ZelPrintDemoOk", "Main", "WindowHeight", "1440.5");
    SaveSetting("ZelPrintDemo", "Other", "WindowHeight", "x y");
    EXPECT_EQ(GetSetting("ZelPrintDemo", "Main", "WindowHeight", "d"), "7200");
    EXPECT_EQ(GetSetting("ZelPrintDemoOk", "Main", "WindowHeight", "d"), "1440.5");
    EXPECT_EQ(GetSetting("ZelPrintDemo", "Other", "WindowHeight", "d"), "x y");
    EXPECT_EQ(GetSetting("ZelPrintDemo", "Main", "WindowWidth", "d"), "d");
    EXPECT_TRUE(QFile::exists(dir_.path() + "/ZelPrintDemo/ZelPrintDemo.ini"));
    EXPECT_TRUE(QFile::exists(dir_.path() + "/ZelPrintDemo/ZelPrintDemoOk.ini"));
}

TEST_F(SettingsStoreTest, ChangedConfigDirectoryIsHonouredAtOnce) {
    SaveSetting("App", "Main", "Key", "first");
    QTemporaryDir other;
    qputenv("XDG_CONFIG_HOME", other.path().toLocal8Bit());
    EXPECT_EQ(GetSetting("App", "Main", "Key", "none"), "none");
    SaveSetting("App", "Main", "Key", "second");
    qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
    EXPECT_EQ(GetSetting("App", "Main", "Key", "none"), "first");
}

TEST_F(SettingsStoreTest, UnwritableStoreIsAPathFileAccessError) {
    QFile blocker(dir_.path() + "/ZelPrintDemo");  // a file where the directory should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        SaveSetting("App", "Main", "Key", "v");
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), VbErr::PathFileAccessError);
    }
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"7200", 7200}, {"1440.5", 1440.5}, {"-12.25x", -12.25}, {"  3 4 5", 345}, {"\t+8", 8},
        {".5", 0.5},    {"5.", 5},          {"1e3", 1000},       {"2D2", 200},     {"1e", 1},
        {"1e+", 1},     {"12abc", 12},      {"abc", 0},          {"", 0},          {"-", 0},
        {".", 0},       {"1.2.3", 1.2},     {"0x10", 0},         {"--1", 0},       {"9.5E-1", 0.95},
        {"1e-999", 0},  {"-2.5e-400x", 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.expected) << c.text;
}

TEST(LeadingNumber, NumberBeyondDoubleIsOverflow) {
    try {
        LeadingNumber("1e999");
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), VbErr::Overflow);
    }
}

}  // namespace
