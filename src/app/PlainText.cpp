#include "app/PlainText.h"

#include <QFile>

#include "app/TextFileLines.h"
#include "print/clsPrint.h"
#include "text/CharacterCells.h"
#include "variant/VbError.h"

namespace zel {

namespace {

// The print object expands its placeholders in every text it draws and has no way to quote
// one. Parameter 9 holds "#" and every "#" of the file becomes "#9": no other placeholder then
// matches, and #9, replaced last, gives the "#" back. The command owns its print object, so
// the parameter is free.
constexpr int HashParameter = 9;
const QString HashCode = QStringLiteral("#9");

QString asWritten(QString text) {
    return text.replace(QLatin1Char('#'), HashCode);
}

// Where a piece of a long line ends: after at most `columns` cells of the grid (a wide
// character takes two, a combining mark none), never inside a character, and never before its
// first character.
qsizetype pieceEnd(const QString& line, qsizetype from, qsizetype columns) {
    qsizetype at = from;
    qsizetype cells = 0;
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

}  // namespace

PlainText::PlainText(clsPrint& print, int32_t columns, bool truncate,
                     std::function<void()> afterLine)
    : print_(print),
      columns_(std::max(columns, 1)),
      truncate_(truncate),
      afterLine_(std::move(afterLine)) {
    print_.SetParm(Variant::Integer(HashParameter), Variant(QStringLiteral("#")));
}

void PlainText::addLine(const QString& text) {
    print_.AddTekst(Variant::Long(++regel_), Variant::Integer(1), Variant(asWritten(text)));
    afterLine_();
}

void PlainText::printLine(const QString& line) {
    if (pieceEnd(line, 0, columns_) == line.size()) return addLine(line);
    ++longLines_;
    if (truncate_) return addLine(line.left(pieceEnd(line, 0, columns_)));
    for (qsizetype at = 0; at < line.size();) {
        const qsizetype end = pieceEnd(line, at, columns_);
        addLine(line.mid(at, end - at));
        at = end;
    }
}

void PlainText::newPage() {
    print_.NieuwBlad(Variant::Long(regel_ + 1));
}

void PlainText::print(QFile& file, const QString& name) {
    TextFileLines lines(file);
    QString line;
    int32_t reading = 1;  // the file's line being read or printed, for the error
    try {
        for (; lines.next(line); ++reading) {
            // A form feed ends the page; the text after it begins the next.
            const QStringList pages = line.split(QLatin1Char('\f'));
            for (qsizetype i = 0; i < pages.size(); ++i) {
                if (i > 0) newPage();
                if (i == 0 || !pages[i].isEmpty()) printLine(pages[i]);
            }
        }
    } catch (const VbError& e) {
        // Which line could not be read or printed (too long, say) is what the user needs.
        throw VbError(e.number(),
                      QStringLiteral("%1 (%2, line %3)").arg(e.description(), name).arg(reading));
    }
    if (file.error() != QFile::NoError)
        throw VbError(VbErr::PathFileAccessError,
                      QStringLiteral("%1: %2").arg(name, file.errorString()));
}

QString PlainText::longLines() const {
    if (longLines_ == 0) return {};
    return QStringLiteral("%1 %2 longer than the page's %3 characters %4")
        .arg(longLines_)
        .arg(longLines_ == 1 ? QStringLiteral("line") : QStringLiteral("lines"))
        .arg(columns_)
        .arg(truncate_ ? QStringLiteral("cut") : QStringLiteral("wrapped"));
}

}  // namespace zel
