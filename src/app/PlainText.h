#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QFile;

namespace zel {

class clsPrint;

// An ordinary text file printed as written: its lines go onto the body one after the other,
// with no placeholder expanded in them (the header keeps its own); a form feed starts a new page;
// a line longer than the page wraps onto the next lines, or with `truncate` is cut at the page's
// edge.
class PlainText {
public:
    // afterLine runs after each line printed (to show progress).
    PlainText(clsPrint& print, int32_t columns, bool truncate, std::function<void()> afterLine);

    // Prints the file from the current body line on; errors name the file (as `name`) and its
    // line.
    void print(QFile& file, const QString& name);
    // The next file starts on a new page.
    void newPage();
    // What standard error should say about long lines, or empty.
    QString longLines() const;

private:
    void printLine(const QString& line);
    void addLine(const QString& text);

    clsPrint& print_;
    int32_t columns_;
    bool truncate_;
    std::function<void()> afterLine_;
    int32_t regel_ = 0;
    int32_t longLines_ = 0;
};

}  // namespace zel
