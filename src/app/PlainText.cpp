#include "app/PlainText.h"

#include <QFile>
#include <cmath>

#include "app/InputFiles.h"
#include "app/TextFileLines.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "variant/VbError.h"

namespace zel {

namespace {

// The print object expands its placeholders in every text it draws and has no way to quote
// one. Parameter 9 holds "#" and every "#" of the file becomes "#9": no other placeholder then
// matches, and #9, replaced last, gives the "#" back. The command owns its print object, so
// the parameter is free.
constexpr int HashParameter = 9;
const QString HashCode = QStringLiteral("#9");

constexpr double TwipsPerInch = 1440;
constexpr double TwipsPerPoint = 20;

QString asWritten(QString text) {
    // Most lines hold no "#": the search alone is cheaper than the replacement's own pass.
    if (!text.contains(QLatin1Char('#'))) return text;
    return text.replace(QLatin1Char('#'), HashCode);
}

Variant twips(double points) {
    return Variant::Long(int32_t(std::lround(points * TwipsPerPoint)));
}

// The prettyprint header's fields: the page number at the right edge ("Blad   1": #B takes
// three places), the date in the middle.
const QString PageField = QStringLiteral("Blad #B");
constexpr int32_t PageFieldCells = 8;
constexpr int32_t DateCells = 10;

}  // namespace

PlainText::PlainText(clsPrint& print, const TextLayout& layout,
                     const std::optional<QString>& header, std::function<void()> afterLine)
    : print_(print), layout_(layout), header_(header), afterLine_(std::move(afterLine)) {
    print_.SetParm(Variant::Integer(HashParameter), Variant(QStringLiteral("#")));
    print_.Spacing(twips(layout_.margins[0]), twips(layout_.margins[1]), twips(layout_.margins[2]),
                   twips(layout_.margins[3]));
    // Setting the size computes the grid again, with the margins.
    float size = print_.PrintFontSize().toSingle();
    print_.letPrintFontSize(Variant::Single(size));
    if (layout_.cpi > 0) {
        // A cell is the font's advance, in proportion to its size.
        const double cell = print_.context().geometry().CharWidthPrinter.toDouble();
        size = float(size * (TwipsPerInch / layout_.cpi) / cell);
        print_.letPrintFontSize(Variant::Single(size));
    }
    if (header_ && !layout_.prettyprint)
        print_.AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant(*header_));
    measure();
}

void PlainText::measure() {
    const mdlPrint& grid = print_.context().geometry();
    pitch_ = layout_.lpi > 0 ? TwipsPerInch / layout_.lpi / grid.LineHeightPrinter.toDouble() : 1;
    gutter_ =
        layout_.columns > 1
            ? std::max(1, int(std::lround(TwipsPerInch / 2 / grid.CharWidthPrinter.toDouble())))
            : 0;
    const int32_t width =
        std::max(1, (grid.PositionsPerLine - gutter_ * (layout_.columns - 1)) / layout_.columns);
    if (!wrap_ || wrap_->columns() != width) wrap_.emplace(width);
}

void PlainText::setHeader(const QString& fileName) {
    if (!layout_.prettyprint) return;
    const int32_t columns = print_.context().geometry().PositionsPerLine;
    const int32_t datePosition = std::max(1, (columns - DateCells) / 2 + 1);
    // The end of a long name says most: its start gives way.
    const qsizetype room = std::max(1, datePosition - 2);
    const QString name =
        fileName.size() <= room
            ? fileName
            : QStringLiteral("…") + fileName.right(std::max<qsizetype>(room - 1, 0));
    print_.ClearKopregels();
    print_.AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant(asWritten(name)));
    print_.AddKopregel(Variant::Integer(1), Variant::Long(datePosition),
                       Variant(QStringLiteral("#D")));
    print_.AddKopregel(Variant::Integer(1),
                       Variant::Long(std::max(1, columns - PageFieldCells + 1)),
                       Variant(PageField));
    int16_t line = 2;
    if (header_)
        print_.AddKopregel(Variant::Integer(line++), Variant::Integer(1), Variant(*header_));
    // A blank line between the header and the text.
    print_.AddKopregel(Variant::Integer(line), Variant::Integer(1), Variant(QStringLiteral(" ")));
}

void PlainText::nextPlace() {
    const auto startPage = [this] {
        // A whole body line past the last one: the object starts its page there.
        pageBase_ = int32_t(std::floor(regel_ + pitch_)) + 1;
        regel_ = pageBase_;
        row_ = 0;
        column_ = 0;
        measure();
    };
    if (print_.CurrentLine < 0) return startPage();
    const int32_t linesPerPage = print_.context().geometry().LinesPerPage;
    for (++row_;;) {
        // The object's own test whether a line still fits on the page.
        const double regel = pageBase_ + row_ * pitch_;
        if (print_.CurrentLine + (regel - print_.StartLine + 1) <= linesPerPage) {
            regel_ = regel;
            return;
        }
        if (row_ == 0 || column_ + 1 >= layout_.columns) break;
        ++column_;
        row_ = 0;
    }
    // The page is full. Breaking it here asks for the confirmation in the screen modes even
    // without a header (the object's own break asks only below one).
    newPage();
    startPage();
}

void PlainText::addLine(const QString& text) {
    nextPlace();
    const int32_t positie = 1 + column_ * (wrap_->columns() + gutter_);
    // A blank line still holds its place: a page may begin with it.
    print_.AddTekst(Variant::Double(regel_), Variant::Long(positie),
                    Variant(text.isEmpty() ? QStringLiteral(" ") : asWritten(text)));
    // The sheet is certain once a page has begun: its grid gives the width from the next line.
    if (row_ == 0 && column_ == 0) measure();
    afterLine_();
}

void PlainText::printLine(const QString& line) {
    if (wrap_->fits(line)) return addLine(line);
    ++longLines_;
    for (const QString& piece : wrap_->pieces(line, !layout_.wrap)) addLine(piece);
}

void PlainText::newPage() {
    if (print_.CurrentLine < 0) return;
    print_.NieuwBlad(Variant::Long(int32_t(std::floor(regel_ + pitch_)) + 1));
}

void PlainText::print(const InputFile& input) {
    setHeader(input.name);
    QFile file(input.path);
    if (!file.open(QIODevice::ReadOnly))
        throw VbError(VbErr::FileNotFound,
                      QStringLiteral("%1: %2").arg(input.name, file.errorString()));
    TextFileLines lines(file, input.encoding);
    QString line;
    int32_t reading = 1;  // the file's line being read or printed, for the error
    try {
        for (; !print_.AnnulerenPressed && lines.next(line); ++reading) {
            if (!line.contains(QLatin1Char('\f'))) {
                printLine(line);
                continue;
            }
            // A form feed ends the page; the text after it begins the next.
            const QStringList pages = line.split(QLatin1Char('\f'));
            for (qsizetype i = 0; i < pages.size(); ++i) {
                if (i > 0) newPage();
                if (i == 0 || !pages[i].isEmpty()) printLine(pages[i]);
            }
        }
    } catch (const VbError& e) {
        // Which line could not be read or printed (too long, say) is what the user needs.
        throw VbError(
            e.number(),
            QStringLiteral("%1 (%2, line %3)").arg(e.description(), input.name).arg(reading));
    }
    if (file.error() != QFile::NoError)
        throw VbError(VbErr::PathFileAccessError,
                      QStringLiteral("%1: %2").arg(input.name, file.errorString()));
}

QString PlainText::longLines() const {
    if (longLines_ == 0) return {};
    return QStringLiteral("%1 %2 longer than the %3's %4 characters %5")
        .arg(longLines_)
        .arg(longLines_ == 1 ? QStringLiteral("line") : QStringLiteral("lines"))
        .arg(layout_.columns > 1 ? QStringLiteral("column") : QStringLiteral("page"))
        .arg(wrap_->columns())
        .arg(layout_.wrap ? QStringLiteral("wrapped") : QStringLiteral("cut"));
}

}  // namespace zel
