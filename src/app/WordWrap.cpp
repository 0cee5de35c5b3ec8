#include "app/WordWrap.h"

#include <unicode/brkiter.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "text/CharacterCells.h"

namespace zel {

namespace {

// The end of the ASCII characters from `from` on, before `limit`: four at a time.
qsizetype asciiEnd(const QChar* chars, qsizetype from, qsizetype limit) {
    qsizetype at = from;
    for (; limit - at >= 4; at += 4) {
        uint64_t four;
        std::memcpy(&four, chars + at, sizeof four);
        if (four & 0xFF80FF80FF80FF80ULL) break;
    }
    while (at < limit && chars[at].unicode() < 0x80) ++at;
    return at;
}

// Where a piece starting at `from` ends: after at most `columns` cells, never inside a
// character, and never before its first character.
qsizetype cellsEnd(const QString& line, qsizetype from, qsizetype columns) {
    // ASCII, the bulk of every report, takes one cell a character: its stretch is counted
    // without asking each character's cells.
    const QChar* chars = line.constData();
    const qsizetype limit = std::min(line.size(), from + columns);
    qsizetype at = asciiEnd(chars, from, limit);
    // A mark after the last cell still belongs to it: past ASCII the characters say.
    if (at == line.size() || (at == limit && chars[at].unicode() < 0x80)) return at;
    qsizetype cells = at - from;
    while (at < line.size()) {
        const bool pair = at + 1 < line.size() && line.at(at).isHighSurrogate() &&
                          line.at(at + 1).isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(line.at(at), line.at(at + 1))
                                : char32_t(line.at(at).unicode());
        cells += cellsOf(c);
        if (cells > columns && at > from) break;
        at += pair ? 2 : 1;
    }
    return at;
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QChar(0x3000);
}

}  // namespace

WordWrap::WordWrap(int32_t columns) : columns_(std::max(columns, 1)) {
    UErrorCode status = U_ZERO_ERROR;
    breaks_.reset(icu::BreakIterator::createLineInstance(icu::Locale::getRoot(), status));
    // Without ICU's data every long line is cut at the column's edge.
    if (U_FAILURE(status)) breaks_.reset();
}

WordWrap::~WordWrap() = default;

bool WordWrap::fits(const QString& line) const {
    return cellsEnd(line, 0, columns_) == line.size();
}

QStringList WordWrap::pieces(const QString& line, bool cut) {
    if (fits(line)) return {line};
    if (cut) return {line.left(cellsEnd(line, 0, columns_))};
    // The breaker reads the line in place: UTF-16 on both sides.
    const icu::UnicodeString text(false, reinterpret_cast<const char16_t*>(line.utf16()),
                                  int32_t(line.size()));
    // The breaker goes through the line once, forward: the last break it passed and the next,
    // which asking it about each place anew (isBoundary, preceding) would find again and again
    // from a place it knows to be safe, at half again the cost.
    int32_t passed = 0, ahead = icu::BreakIterator::DONE;
    if (breaks_) {
        breaks_->setText(text);
        passed = breaks_->first();
        ahead = breaks_->next();
    }
    QStringList pieces;
    for (qsizetype at = 0; at < line.size();) {
        qsizetype end = cellsEnd(line, at, columns_);
        if (end < line.size() && breaks_) {
            // Blanks after the last word that fits may hang past the edge: they are not printed.
            qsizetype past = end;
            while (past < line.size() && isBlank(line.at(past))) ++past;
            // The last break at or before that place.
            while (ahead != icu::BreakIterator::DONE && ahead <= past) {
                passed = ahead;
                ahead = breaks_->next();
            }
            const qsizetype word = passed;
            if (word > at) end = word;
        }
        qsizetype shown = end;
        while (end < line.size() && shown > at && isBlank(line.at(shown - 1))) --shown;
        pieces << line.mid(at, shown - at);
        at = end;
    }
    return pieces;
}

}  // namespace zel
