#include "surface/PdfDocument.h"

#include <QFileDevice>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include "general/Clock.h"
#include "surface/PdfColourFont.h"
#include "surface/PdfFont.h"
#include "surface/PdfInfo.h"
#include "text/FontFace.h"
#include "text/GlyphRun.h"
#include "variant/VbError.h"

namespace zel {

// What of a text can show on the sheet, in twips right of the text's start. Only that is written:
// a line of a million characters shows its first hundred or so, and the rest would fill the
// page's content, held until the page ends, and the file with glyphs nobody sees. A glyph's ink
// reaches at most two ems past its cells.
struct OnSheet {
    double from, to;
    bool holds(const GlyphRun& run, const GlyphCluster& cluster) const {
        const double start =
            cluster.glyphCount > 0 ? run.x[size_t(cluster.firstGlyph)] : cluster.end;
        return start < to && cluster.end > from;
    }
};

namespace {

constexpr double PointsPerPixel = 72.0 / 600.0;
constexpr double TwipsPerPoint = 20.0;
// Marks an entry of evenGlyphs_ as set (a character may be 0).
constexpr uint32_t KnownGlyph = 0x10000;

// One byte of a literal string, escaped where the string syntax needs it.
inline char* putByte(char* at, char byte) {
    if (Q_UNLIKELY(byte == '(' || byte == ')' || byte == '\\' || byte == '\r')) {
        *at++ = '\\';
        byte = byte == '\r' ? 'r' : byte;  // a bare CR would read as a line end
    }
    *at++ = byte;
    return at;
}

// The bytes a literal string must escape, for the glyph strings' fast path.
constexpr std::array<bool, 256> Escaped = [] {
    std::array<bool, 256> escaped{};
    for (const char byte : {'(', ')', '\\', '\r'}) escaped[uint8_t(byte)] = true;
    return escaped;
}();

// A glyph number as two bytes of a literal string (half the bytes of hex to write and deflate),
// written at the pointer, which must have room for four; returns the end.
inline char* putGlyph(char* at, uint32_t glyph) {
    const auto high = uint8_t(glyph >> 8), low = uint8_t(glyph);
    if (Q_LIKELY(!(Escaped[high] | Escaped[low]))) {
        at[0] = char(high);
        at[1] = char(low);
        return at + 2;
    }
    return putByte(putByte(at, char(high)), char(low));
}

// Copies the characters of a literal operator text; returns the end.
template <size_t N>
inline char* put(char* at, const char (&text)[N]) {
    return std::copy(text, text + N - 1, at);
}

// Characters as a PDF text string: UTF-16 with its byte-order mark, in hex.
QByteArray textString(const QChar* text, int length) {
    QByteArray out = "<FEFF";
    for (int i = 0; i < length; ++i) appendHex(out, text[i].unicode());
    return out + '>';
}

// The span of a text that starts originX points right of the sheet's left edge.
OnSheet onSheet(double originX, double sheetWidth, double points) {
    const double reach = 2 * points;
    return {(-originX - reach) * TwipsPerPoint, (sheetWidth - originX + reach) * TwipsPerPoint};
}

QByteArray colourOperands(Rgb colour, bool grayscale) {
    QByteArray out;
    if (grayscale) {
        appendNumber(out, colour.grey() / 255.0);
        return out;
    }
    appendNumber(out, colour.red / 255.0);
    out += ' ';
    appendNumber(out, colour.green / 255.0);
    out += ' ';
    appendNumber(out, colour.blue / 255.0);
    return out;
}

}  // namespace

PdfDocument::PdfDocument(QFileDevice& file, bool grayscale)
    : pdf_(file), grayscale_(grayscale), catalog_(pdf_.reserve()), pages_(pdf_.reserve()) {}

PdfDocument::~PdfDocument() = default;

void PdfDocument::beginPage(const PageLayout& sheet) {
    endPage();
    const QRectF full = sheet.fullRect();
    const QRectF paint = sheet.paintRect();
    width_ = full.width();
    height_ = full.height();
    left_ = paint.left();
    top_ = height_ - paint.top();
    inPage_ = true;
    content_.clear();
    // Room for a page like the largest so far, so that the content grows without copies.
    content_.reserve(largestPage_);
    pageFonts_.clear();
    currentFont_ = nullptr;
    currentSize_ = currentWidth_ = -1;
    fillColour_.reset();
    strokeColour_.reset();
    content_ += "2 J 2 j\n";  // square caps and bevelled joins, as the window's pen
}

void PdfDocument::endPage() {
    if (!inPage_) return;
    inPage_ = false;
    const int contents = pdf_.reserve();
    const int page = pdf_.reserve();
    largestPage_ = std::max(largestPage_, content_.size());
    pdf_.stream(contents, QByteArray(), std::exchange(content_, QByteArray()));
    QByteArray fonts;
    for (const int font : pageFonts_)
        fonts += "/F" + QByteArray::number(font) + ' ' + QByteArray::number(font) + " 0 R ";
    QByteArray box;
    appendNumber(box, width_);
    box += ' ';
    appendNumber(box, height_);
    pdf_.beginObject(page);
    pdf_.write("<< /Type /Page /Parent " + QByteArray::number(pages_) + " 0 R /MediaBox [0 0 " +
               box + "] /Resources << /Font << " + fonts + ">> >> /Contents " +
               QByteArray::number(contents) + " 0 R >>\n");
    pdf_.endObject();
    pageObjects_.push_back(page);
    content_.clear();
}

PdfFont& PdfDocument::fontFor(const FontFace& face) {
    if (lastPdfFont_ && &face == lastFace_) return *lastPdfFont_;
    std::unique_ptr<PdfFont>& entry = fonts_[&face];
    if (!entry) entry = std::make_unique<PdfFont>(face, pdf_.reserve());
    lastFace_ = &face;
    lastPdfFont_ = entry.get();
    return *entry;
}

void PdfDocument::point(const QPointF& device) {
    appendNumber(content_, left_ + device.x() * PointsPerPixel);
    content_ += ' ';
    appendNumber(content_, top_ - device.y() * PointsPerPixel);
    content_ += ' ';
}

void PdfDocument::rect(const QRectF& device) {
    const QRectF r = device.normalized();
    point(r.bottomLeft());
    appendNumber(content_, r.width() * PointsPerPixel);
    content_ += ' ';
    appendNumber(content_, r.height() * PointsPerPixel);
    content_ += " re\n";
}

void PdfDocument::setColour(Rgb colour, bool stroke) {
    std::optional<Rgb>& current = stroke ? strokeColour_ : fillColour_;
    if (current == colour) return;
    current = colour;
    content_ += colourOperands(colour, grayscale_);
    content_ += grayscale_ ? (stroke ? " G\n" : " g\n") : (stroke ? " RG\n" : " rg\n");
}

void PdfDocument::setWidth(double width) {
    if (width == currentWidth_) return;
    currentWidth_ = width;
    appendNumber(content_, width * PointsPerPixel);
    content_ += " w\n";
}

void PdfDocument::text(const QPointF& baseline, const LaidOutText& text, Rgb colour) {
    // Every font first: one that cannot be embedded must not leave a text object open.
    for (const GlyphRun& run : text) {
        if (run.face->colour()) continue;
        const int object = fontFor(*run.face).object();
        if (std::find(pageFonts_.begin(), pageFonts_.end(), object) == pageFonts_.end())
            pageFonts_.push_back(object);
    }
    if (text.begin() == text.end()) return;
    setColour(colour, false);
    content_ += "BT\n";
    const OnSheet sheet = onSheet(left_ + baseline.x() * PointsPerPixel, width_, text.points());
    // A missing-glyph box is drawn for some character, which the box cannot name: a text that
    // has one says all of its characters on the sheet itself.
    const bool ownText = text.hasMissingGlyphs();
    if (ownText) {
        qsizetype first = text.text().size(), last = 0;
        for (const GlyphRun& run : text)
            for (const GlyphCluster& cluster : run.clusters) {
                if (!sheet.holds(run, cluster)) continue;
                first = std::min<qsizetype>(first, cluster.textStart);
                last = std::max<qsizetype>(last, cluster.textStart + cluster.textLength);
            }
        const QString shown = first < last ? text.text().mid(first, last - first) : QString();
        content_ += "/Span << /ActualText " + textString(shown.constData(), int(shown.size())) +
                    " >> BDC\n";
    }
    // Runs of one right-to-left stretch are written in reading order too, from the right.
    for (const GlyphRun* run = text.begin(); run != text.end();) {
        const GlyphRun* stretch = run + 1;
        while (run->rightToLeft && stretch != text.end() && stretch->rightToLeft) ++stretch;
        for (const GlyphRun* part = stretch; part != run;) {
            --part;
            this->run(baseline, *part, text.text(), text.points(), ownText, sheet);
        }
        run = stretch;
    }
    if (ownText) content_ += "EMC\n";
    content_ += "ET\n";
}

void PdfDocument::run(const QPointF& baseline, const GlyphRun& run, const QString& text,
                      double points, bool ownText, const OnSheet& sheet) {
    const double size = points * run.scale;
    if (run.face->colour()) {
        colourRun(
            QPointF(left_ + baseline.x() * PointsPerPixel, top_ - baseline.y() * PointsPerPixel),
            run, text, size);
        return;
    }
    PdfFont& font = fontFor(*run.face);
    if (&font != currentFont_ || size != currentSize_) {
        currentFont_ = &font;
        currentSize_ = size;
        content_ += "/F" + QByteArray::number(font.object()) + ' ';
        appendNumber(content_, size);
        content_ += " Tf\n";
    }
    const double originX = left_ + baseline.x() * PointsPerPixel;
    const double originY = top_ - baseline.y() * PointsPerPixel;
    // Multiplications rather than divisions: this loop runs for every glyph of every job.
    constexpr double PointsPerTwip = 1 / TwipsPerPoint;
    const double thousandthsPerPoint = size > 0 ? 1000 / size : 0;
    const double pointsPerThousandth = size / 1000;
    if (run.evenAdvance > 0 && !ownText &&
        evenRun(QPointF(originX, originY), run, font, text,
                run.evenAdvance * PointsPerTwip * thousandthsPerPoint, sheet))
        return;
    double penX = 0, penY = 0;  // where the next glyph goes without a shift
    // Right to left the clusters are written in reading order (from the right), so that readers
    // that take the text in the order it is drawn read it as it is read.
    const bool reversed = run.rightToLeft;
    const size_t clusterCount = run.clusters.size();
    for (size_t k = 0; k < clusterCount; ++k) {
        const GlyphCluster& cluster = run.clusters[reversed ? clusterCount - 1 - k : k];
        if (!sheet.holds(run, cluster)) continue;
        const QChar* chars = text.constData() + cluster.textStart;
        const uint32_t* glyphs = run.glyphs.data() + cluster.firstGlyph;

        // The text layer takes a cluster's characters from the map entries of the codes its
        // glyphs are written as, in the order they are written (MuPDF reads nothing else). Where
        // the glyph's own entry cannot say them (several glyphs, a glyph drawn for other
        // characters before) the page says them too (poppler reads that), unless it says the
        // whole text.
        const int count = cluster.glyphCount;
        uint32_t single = count == 1 ? font.code(glyphs[0], chars, cluster.textLength) : 0;
        const bool mapped = count == 1 && single == glyphs[0];
        if (single == PdfFont::NoCode) single = glyphs[0];
        const uint32_t* codes = &single;
        if (count > 1) {
            written_.resize(size_t(count));
            codes_.resize(size_t(count));
            for (int n = 0; n < count; ++n)
                written_[size_t(n)] = glyphs[reversed ? count - 1 - n : n];
            font.clusterCodes(written_.data(), count, chars, cluster.textLength, codes_.data());
            codes = codes_.data();
        }
        // Readers that order right-to-left text by its place on the line turn every part of it
        // around, the characters of one cluster too: those are said in the order that gives.
        const bool turned = reversed && cluster.textLength > 1;
        const bool spanned = (!mapped || turned) && !ownText;
        if (spanned) {
            endShow();
            QString said(chars, cluster.textLength);
            if (turned) {
                const QList<uint> codes = said.toUcs4();
                said = QString::fromUcs4(std::vector<char32_t>(codes.rbegin(), codes.rend()).data(),
                                         codes.size());
            }
            content_ += "/Span << /ActualText " + textString(said.constData(), int(said.size())) +
                        " >> BDC\n";
        }
        for (int n = 0; n < count; ++n) {
            const int i = reversed ? count - 1 - n : n;
            const size_t at = size_t(cluster.firstGlyph + i);
            uint32_t code = codes[n];
            // Right to left the first glyph written (the base) says the cluster, over its own
            // width; the marks after it say nothing, or the reader would end the cluster at them.
            if (spanned && reversed && n == 1) {
                endShow();
                content_ += "EMC\n/Span << /ActualText <FEFF> >> BDC\n";
            }
            const double x = originX + run.x[at] * PointsPerTwip;
            const double y = originY - run.y[at] * PointsPerTwip;
            if (!inArray_ || y != penY) {
                endShow();
                content_ += "1 0 0 1 ";
                appendNumber(content_, x);
                content_ += ' ';
                appendNumber(content_, y);
                content_ += " Tm [";
                inArray_ = true;
                penX = x;
                penY = y;
            } else if (size > 0) {
                // Thousandths of the size; half of one is far below what any printer shows.
                // Whole thousandths: shorter to write, and the pen keeps the part left over.
                const double shift = std::round((penX - x) * thousandthsPerPoint);
                if (shift != 0) {
                    endString();
                    content_ += QByteArray::number(qlonglong(shift));
                    penX -= shift * pointsPerThousandth;
                }
            }
            // The last glyph of a cluster reaches the end of its cells, so that readers of the
            // text see no gap between it and the next cell's character where a word of another
            // script ends short of its cells: a glyph alone in its cells is as wide at its first
            // use, one that is narrower there (used before, or after others) gets a code as wide.
            const double reach = (originX + cluster.end * PointsPerTwip - x) * thousandthsPerPoint;
            bool widened = false;
            if (n == count - 1 && !reversed && size > 0 && (count > 1 || font.width(code) >= 0)) {
                constexpr double Gap = 100;  // thousandths of the size: less reads as no gap
                const double known = font.width(code) >= 0 ? font.width(code) : font.use(code, -1);
                widened = reach > known + Gap;
                if (widened) code = font.codeWithAdvance(code, reach);
            }
            if (!inString_) show_ += '(';
            inString_ = true;
            const size_t end = show_.size();
            show_.resize(end + 4);
            show_.resize(size_t(putGlyph(&show_[end], code) - show_.data()));
            double width = font.width(code);
            if (width < 0) width = font.use(code, (count == 1 || widened) && size > 0 ? reach : -1);
            penX += width * pointsPerThousandth;
        }
        if (spanned) {
            endShow();
            content_ += "EMC\n";
        }
    }
    endShow();
}

void PdfDocument::colourRun(const QPointF& origin, const GlyphRun& run, const QString& text,
                            double size) {
    endShow();
    std::vector<std::unique_ptr<PdfColourFont>>& fonts = colourFonts_[run.face];
    const auto show = [&](uint32_t glyph, char32_t character, double x, double y) {
        uint8_t code = 0;
        PdfColourFont* font = nullptr;
        for (const auto& candidate : fonts)
            if ((code = candidate->code(glyph, character))) {
                font = candidate.get();
                break;
            }
        if (!font) {
            fonts.push_back(std::make_unique<PdfColourFont>(*run.face, pdf_.reserve()));
            font = fonts.back().get();
            code = font->code(glyph, character);
        }
        if (std::find(pageFonts_.begin(), pageFonts_.end(), font->object()) == pageFonts_.end())
            pageFonts_.push_back(font->object());
        content_ += "/F" + QByteArray::number(font->object()) + ' ';
        appendNumber(content_, size);
        content_ += " Tf 1 0 0 1 ";
        appendNumber(content_, x);
        content_ += ' ';
        appendNumber(content_, y);
        content_ += " Tm <" + QByteArray::number(code, 16).rightJustified(2, '0') + "> Tj\n";
    };
    for (const GlyphCluster& cluster : run.clusters) {
        // The first glyph gives back the cluster's first character, blanks at its end the
        // others (placed back inside it, readers would take them for a new line).
        const QList<uint> characters = text.mid(cluster.textStart, cluster.textLength).toUcs4();
        const size_t first = size_t(cluster.firstGlyph);
        const double y = origin.y() - run.y[first] / TwipsPerPoint;
        for (int i = 0; i < cluster.glyphCount; ++i)
            show(run.glyphs[first + size_t(i)],
                 i == 0 && !characters.isEmpty() ? char32_t(characters[0]) : 0,
                 origin.x() + run.x[first + size_t(i)] / TwipsPerPoint,
                 origin.y() - run.y[first + size_t(i)] / TwipsPerPoint);
        const double end = origin.x() + cluster.end / TwipsPerPoint;
        for (qsizetype k = 1; k < characters.size(); ++k)
            show(PdfColourFont::Blank, char32_t(characters[k]), end, y);
    }
    // The next run names its font again.
    currentFont_ = nullptr;
    currentSize_ = -1;
}

bool PdfDocument::evenRun(const QPointF& origin, const GlyphRun& run, PdfFont& font,
                          const QString& text, double advance, const OnSheet& sheet) {
    // One string without shifts, when every glyph maps to its character and the font's widths
    // place each on its cell: the plain text of a report, which this path keeps cheap. Each
    // glyph is a cluster of its own, left to right: those on the sheet are one stretch.
    size_t first = 0, count = run.glyphs.size();
    while (first < count && !sheet.holds(run, run.clusters[first])) ++first;
    while (count > first && !sheet.holds(run, run.clusters[count - 1])) --count;
    if (first == count) return true;
    const uint32_t* glyphs = run.glyphs.data();
    const QChar* chars = text.constData() + run.clusters.front().textStart;
    if (&font != evenFont_) {
        evenFont_ = &font;
        evenGlyphs_.clear();
    }
    // The operator is written while its glyphs are checked, into room made once, and taken
    // back when the run needs the general way: a text per line makes this the most frequent
    // output of a job.
    constexpr size_t Operators = 32;  // "1 0 0 1 ", " ", " Tm [(", ")] TJ\n"
    const qsizetype start = content_.size();
    content_.resize(start + qsizetype(Operators + 2 * MaxNumberLength + (count - first) * 4));
    char* at = put(content_.data() + start, "1 0 0 1 ");
    // The texts of a report mostly start at one margin: its number is written once.
    const double x = origin.x() + run.x[first] / TwipsPerPoint;
    if (x != evenX_) {
        evenX_ = x;
        evenXLength_ = int(putNumber(evenXText_, x) - evenXText_);
    }
    at = std::copy(evenXText_, evenXText_ + evenXLength_, at);
    *at++ = ' ';
    at = putNumber(at, origin.y());
    at = put(at, " Tm [(");
    double drift = 0;
    size_t i = first;
    const EvenGlyph* known = evenGlyphs_.data();
    // The widths are whole thousandths, a hair off the cells: the drift of a run whose glyphs
    // are all of one width (n of them, each d off) stays below 1.0001 n |d|, and is summed only
    // when that bound may reach the half that decides.
    const size_t size = evenGlyphs_.size();
    const double firstWidth = glyphs[first] < size ? known[glyphs[first]].width : 0;
    bool same = true;
    for (; i < count; ++i) {
        const uint32_t glyph = glyphs[i];
        if (glyph >= size || known[glyph].key != (KnownGlyph | chars[i].unicode())) break;
        same = same & (known[glyph].width == firstWidth);
        std::memcpy(at, known[glyph].bytes, 4);
        at += known[glyph].length;
    }
    const bool settled =
        i == count && same && 4 * double(count - first) * std::fabs(firstWidth - advance) < 1;
    if (!settled)
        for (size_t k = first; k < i; ++k) drift += known[glyphs[k]].width - advance;
    for (; i < count; ++i) {
        const uint32_t glyph = glyphs[i];
        double width = font.width(glyph);
        if (width < 0) width = font.use(glyph, advance);
        drift += width - advance;
        if (glyph == 0 || !font.mapsTo(glyph, chars + i, 1)) {
            content_.resize(start);
            return false;
        }
        // A glyph's width and characters, once set, stay for the whole job.
        if (evenGlyphs_.size() <= glyph) evenGlyphs_.resize(size_t(glyph) + 1);
        EvenGlyph& entry = evenGlyphs_[glyph];
        entry.key = KnownGlyph | chars[i].unicode();
        entry.width = width;
        entry.length = int(putGlyph(entry.bytes, glyph) - entry.bytes);
        at = std::copy(entry.bytes, entry.bytes + entry.length, at);
    }
    if (std::fabs(drift) >= 0.5) {
        content_.resize(start);
        return false;
    }
    at = put(at, ")] TJ\n");
    content_.resize(at - content_.constData());
    return true;
}

void PdfDocument::endString() {
    if (inString_) {
        show_ += ')';
        content_.append(show_.data(), qsizetype(show_.size()));
        show_.clear();
    }
    inString_ = false;
}

void PdfDocument::endShow() {
    endString();
    if (inArray_) content_ += "] TJ\n";
    inArray_ = false;
}

void PdfDocument::line(const QPointF& from, const QPointF& to, Rgb colour, double width) {
    setColour(colour, true);
    setWidth(width);
    point(from);
    content_ += "m ";
    point(to);
    content_ += "l S\n";
}

void PdfDocument::box(const QRectF& rect, Rgb colour, double width) {
    setColour(colour, true);
    setWidth(width);
    this->rect(rect);
    content_ += "S\n";
}

void PdfDocument::fill(const QRectF& rect, Rgb colour) {
    setColour(colour, false);
    this->rect(rect);
    content_ += "f\n";
}

void PdfDocument::finish() {
    endPage();
    for (const auto& entry : fonts_) entry.second->write(pdf_);
    for (const auto& entry : colourFonts_)
        for (const auto& font : entry.second) font->write(pdf_, grayscale_);
    QByteArray kids;
    for (const int page : pageObjects_) kids += QByteArray::number(page) + " 0 R ";
    pdf_.beginObject(pages_);
    pdf_.write("<< /Type /Pages /Kids [" + kids + "] /Count " +
               QByteArray::number(qulonglong(pageObjects_.size())) + " >>\n");
    pdf_.endObject();
    pdf_.beginObject(catalog_);
    pdf_.write("<< /Type /Catalog /Pages " + QByteArray::number(pages_) + " 0 R >>\n");
    pdf_.endObject();
    const int info = pdf_.reserve();
    pdf_.beginObject(info);
    pdf_.write(pdfInfoDictionary(title_, Clock::now()));
    pdf_.endObject();
    pdf_.finish(catalog_, info);
}

}  // namespace zel
