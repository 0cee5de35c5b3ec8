#pragma once

#include <unicode/uversion.h>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

U_NAMESPACE_BEGIN
class BreakIterator;
U_NAMESPACE_END

namespace zel {

// Cuts a line of text into pieces of at most `columns` cells of the grid (a wide character
// takes two, a combining mark none): between words where ICU's line breaker allows a break
// (in every script, Thai and Khmer by their dictionaries), a word longer than a piece cut
// inside it, never inside a character. The blanks at a break are left out.
class WordWrap {
public:
    explicit WordWrap(int32_t columns);
    ~WordWrap();
    WordWrap(const WordWrap&) = delete;
    WordWrap& operator=(const WordWrap&) = delete;

    int32_t columns() const { return columns_; }
    // Whether the line fits in one piece.
    bool fits(const QString& line) const;
    // The line's pieces, in order; only the first when cut is set.
    QStringList pieces(const QString& line, bool cut);

private:
    int32_t columns_;
    std::unique_ptr<icu::BreakIterator> breaks_;
};

}  // namespace zel
