#include <gtest/gtest.h>

#include "files/mdlFileHandling.h"

using namespace zel;

namespace {

TEST(PathRoutinesTest, FileNamePartIsWhatFollowsTheLastSeparator) {
    const struct {
        QString text, separator;
        bool skipFirst;
        QString expected;
    } cases[] = {
        {"C:\\a\\b.txt", "\\", false, "b.txt"},
        {"b.txt", "\\", false, "b.txt"},
        {"", "\\", true, ""},
        {"\\b.txt", "\\", true, "b.txt"},
        {"C:\\a\\", "\\", false, ""},
        {"/data/a/b.txt", "/", false, "b.txt"},
        {"/data/a/b.txt", "\\", false, "/data/a/b.txt"},  // only the given separator splits
        {"b.txt", "/", false, "b.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileNamePart(c.text, c.separator, c.skipFirst), c.expected)
            << c.text.toStdString();
}

TEST(PathRoutinesTest, DirectoryPartKeepsTheLastSeparator) {
    const struct {
        QString text, separator;
        bool skipLast;
        QString expected;
    } cases[] = {
        {"C:\\a\\b.txt", "\\", false, "C:\\a\\"},
        {"C:\\a\\", "\\", true, "C:\\"},
        {"C:\\a\\", "\\", false, "C:\\a\\"},
        {"b.txt", "\\", false, ""},
        {"", "\\", true, ""},
        {"/data/a/b.txt", "/", false, "/data/a/"},
        {"/data/a/", "/", true, "/data/"},
        {"/", "/", true, ""},
        {"C:\\a\\b.txt", "/", false, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DirectoryPart(c.text, c.separator, c.skipLast), c.expected)
            << c.text.toStdString();
}

}  // namespace
