// The printer's own PDF writer, driven with whatever a page can be asked to hold: texts of any
// code points (lone surrogates, non-characters, private use, characters no font has, texts of
// thousands of characters), fonts of known and unknown families at any size (zero, negative,
// NaN, huge), bold and italic, any colour, and lines and boxes at any coordinates and widths
// (NaN, infinite, huge). The file it writes must be complete, ending in "%%EOF", unless finish
// reports the printer's error; every number it writes must be one a PDF reader can read.
#include <QFont>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "FuzzApplication.h"
#include "FuzzInput.h"
#include "surface/PdfDocument.h"
#include "surface/PdfWriter.h"
#include "text/TextLayout.h"
#include "variant/VbError.h"

namespace {

constexpr qsizetype LongText = 64 * 1024;  // UTF-16 units

// A number as the writer puts it in the file: digits, at most three decimals, no exponent, and
// the value to the thousandth (NaN as 0, the huge ones at the largest the writer writes).
void checkNumber(double value) {
    static const QRegularExpression pdfReal(QStringLiteral("^-?[0-9]+(\\.[0-9]{1,3})?$"));
    constexpr double Largest = 1e12;
    QByteArray out;
    zel::appendNumber(out, value);
    const double meant = std::isnan(value) ? 0 : std::clamp(value, -Largest, Largest);
    if (!pdfReal.match(QString::fromLatin1(out)).hasMatch() ||
        std::fabs(out.toDouble() - meant) > 0.0005 + 1e-12 * std::fabs(meant))
        std::abort();
}

double number(FuzzInput& in) {
    static const double odd[] = {0,
                                 -0.0,
                                 -1,
                                 0.0005,
                                 1e9,
                                 -1e16,
                                 1e300,
                                 std::numeric_limits<double>::quiet_NaN(),
                                 std::numeric_limits<double>::infinity(),
                                 -std::numeric_limits<double>::infinity(),
                                 std::numeric_limits<double>::denorm_min()};
    const uint8_t choice = in.number<uint8_t>();
    double value = 0;
    if (choice < 64)
        value = odd[choice % std::size(odd)];
    else if (choice < 128)
        value = in.number<double>();
    else
        value = in.number<int16_t>();  // the common case: a position on the sheet
    checkNumber(value);
    return value;
}

QPointF point(FuzzInput& in) {
    const double x = number(in);
    return {x, number(in)};
}

QRectF rect(FuzzInput& in) {
    const QPointF corner = point(in);
    const double width = number(in);
    return {corner.x(), corner.y(), width, number(in)};
}

zel::Rgb colour(FuzzInput& in) {
    return zel::Rgb::fromVb(in.number<int32_t>());
}

QFont font(FuzzInput& in) {
    static const char* const families[] = {
        "Courier New", "Arial", "Times New Roman", "Terminal", "DejaVu Sans", "Noto Color Emoji",
        "Symbol",      ""};
    const uint8_t choice = in.number<uint8_t>();
    QFont font(choice < 200 ? QString::fromLatin1(families[choice % std::size(families)])
                            : in.text());
    const uint8_t style = in.number<uint8_t>();
    font.setBold(style & 1);
    font.setItalic(style & 2);
    const double size = number(in);
    font.setPointSizeF(style & 4 ? size : std::fmod(std::fabs(size), 200.0));
    return font;
}

// Code points a font may lack or a writer may mishandle, or the input's own UTF-16 units as they
// come (lone surrogates included), now and then repeated into a long text.
QString text(FuzzInput& in) {
    static const char32_t odd[] = {
        0x0,     0xD,    '(',    ')',    '\\',   0xFFFF, 0xFFFE, 0xFFFD,  0xE000, 0xF8FF, 0x10FFFF,
        0x1F600, 0x4E2D, 0x0301, 0x200B, 0xFEFF, 0xD800, 0xDC00, 0xF0000, 0x2028, 0x0627, 0x1D11E};
    QString out;
    for (uint8_t n = in.number<uint8_t>() % 16; n > 0 && !in.atEnd(); --n) {
        const uint8_t choice = in.number<uint8_t>();
        if (choice < 64) {
            const char32_t c = odd[choice % std::size(odd)];
            out += c < 0x10000 ? QString(QChar(char16_t(c))) : QString::fromUcs4(&c, 1);
        } else if (choice < 128) {
            out += QChar(in.number<char16_t>());
        } else if (choice < 136) {
            const qsizetype times = 1 + in.number<uint8_t>() * 8;
            out = out.repeated(std::min(times, LongText / std::max<qsizetype>(1, out.size())));
        } else {
            out += QString::fromUtf8(in.bytes());
        }
    }
    return out;
}

zel::PageLayout sheet(FuzzInput& in) {
    struct Paper {
        int width, length;  // hundredths of a millimetre
    };
    static const Paper papers[] = {{21000, 29700}, {29700, 42000}, {21590, 27940}, {2600, 3700}};
    const uint8_t choice = in.number<uint8_t>();
    const Paper& paper = papers[choice % std::size(papers)];
    const auto edge = [&in] { return in.number<uint8_t>() * 35.0; };  // about a point a step
    const double left = edge(), top = edge(), right = edge(), bottom = edge();
    zel::PageLayout layout(paper.width, paper.length, QMarginsF(left, top, right, bottom));
    if (choice & 4) layout.setOrientation(zel::PageLayout::Orientation::Landscape);
    return layout;
}

void draw(zel::PdfDocument& pdf, FuzzInput& in) {
    switch (in.number<uint8_t>() % 6) {
        case 0:
            pdf.beginPage(sheet(in));
            break;
        case 1:
        case 2: {
            const QPointF at = point(in);
            const QString what = text(in);
            const QFont how = font(in);
            zel::TextLayout layout(how.family(), how.bold(), how.pointSizeF());
            pdf.text(at, layout.layout(what), colour(in));
            break;
        }
        case 3: {
            const QPointF from = point(in);
            const QPointF to = point(in);
            const zel::Rgb c = colour(in);
            pdf.line(from, to, c, number(in));
            break;
        }
        case 4: {
            const QRectF r = rect(in);
            const zel::Rgb c = colour(in);
            pdf.box(r, c, number(in));
            break;
        }
        default: {
            const QRectF r = rect(in);
            pdf.fill(r, colour(in));
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryFile* file = [] {
        ensureApplication();
        auto* made = new QTemporaryFile;  // one file for the whole run, emptied for each input
        if (!made->open()) std::abort();
        return made;
    }();
    file->resize(0);
    file->seek(0);
    FuzzInput in(data, size);
    try {
        zel::PdfDocument pdf(*file, in.number<uint8_t>() & 1);
        pdf.beginPage(sheet(in));
        while (!in.atEnd()) draw(pdf, in);
        pdf.finish();
    } catch (const zel::VbError&) {
        return 0;
    }
    file->seek(0);
    if (!file->readAll().endsWith("%%EOF\n")) std::abort();
    return 0;
}
