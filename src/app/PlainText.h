#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/PrintOptions.h"
#include "app/WordWrap.h"

namespace zel {

class clsPrint;
struct InputFile;

// An ordinary text file printed as written, laid out as lp's text filter does it: the margins,
// the characters and lines an inch and the columns of `layout`; its lines go onto the body one
// after the other with no placeholder expanded in them (the header keeps its own); a form feed
// starts a new page; a line longer than its column wraps between words, or with wrap off is cut
// at the column's edge.
class PlainText {
public:
    // Sets the object's margins and font for the layout. header: the user's header line, kept
    // below the file's own (prettyprint). afterLine runs after each line printed (progress).
    PlainText(clsPrint& print, const TextLayout& layout, const std::optional<QString>& header,
              std::function<void()> afterLine);

    // Prints the file from the current body line on; errors name the file and its line. Stops
    // at the line where the user answered "Afbreken".
    void print(const InputFile& file);
    // The next file starts on a new page.
    void newPage();
    // What standard error should say about long lines, or empty.
    QString longLines() const;

private:
    void setHeader(const QString& fileName);
    void printLine(const QString& line);
    void addLine(const QString& text);
    // Makes room for the next line: the next row of the column, the next column, or a new page.
    void nextPlace();
    void measure();

    clsPrint& print_;
    TextLayout layout_;
    std::optional<QString> header_;
    std::function<void()> afterLine_;
    std::optional<WordWrap> wrap_;
    double pitch_ = 1;    // lines of the grid from one text line to the next
    int32_t gutter_ = 1;  // cells between columns
    // The body line of the page's first row (a whole number, so that the page starts there),
    // the line last printed, and where the next line goes.
    int32_t pageBase_ = 0;
    double regel_ = 0;
    int32_t row_ = 0;
    int32_t column_ = 0;
    int32_t longLines_ = 0;
};

}  // namespace zel
