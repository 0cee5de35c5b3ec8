#include "surface/PdfDocument.h"

#include <QColor>
#include <QFileDevice>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "general/Clock.h"
#include "surface/PdfFont.h"
#include "surface/PdfInfo.h"
#include "variant/VbError.h"
#include "text/GlyphRun.h"

namespace zel {

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

// A cluster drawn with missing-glyph boxes only: it stands for no character.
bool missing(const GlyphRun& run, const GlyphCluster& cluster) {
    const auto first = run.glyphs.begin() + cluster.firstGlyph;
    return std::all_of(first, first + cluster.glyphCount, [](uint32_t glyph) { return glyph == 0; });
}

QByteArray colourOperands(const QColor& colour, bool grayscale) {
    QByteArray out;
    if (grayscale) {
        appendNumber(out, qGray(colour.rgb()) / 255.0);
        return out;
    }
    appendNumber(out, colour.redF());
    out += ' ';
    appendNumber(out, colour.greenF());
    out += ' ';
    appendNumber(out, colour.blueF());
    return out;
}

}  // namespace

PdfDocument::PdfDocument(QFileDevice& file, bool grayscale)
    : pdf_(file), grayscale_(grayscale), catalog_(pdf_.reserve()), pages_(pdf_.reserve()) {}

PdfDocument::~PdfDocument() = default;

void PdfDocument::beginPage(const QPageLayout& sheet) {
    endPage();
    const QRectF full = sheet.fullRect(QPageLayout::Point);
    const QRectF paint = sheet.paintRect(QPageLayout::Point);
    width_ = full.width();
    height_ = full.height();
    left_ = paint.left();
    top_ = height_ - paint.top();
    inPage_ = true;
    content_.clear();
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
    pdf_.stream(contents, QByteArray(), content_);
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

void PdfDocument::setColour(const QColor& colour, bool stroke) {
    std::optional<QRgb>& current = stroke ? strokeColour_ : fillColour_;
    if (current == colour.rgb()) return;
    current = colour.rgb();
    content_ += colourOperands(colour, grayscale_);
    content_ += grayscale_ ? (stroke ? " G\n" : " g\n") : (stroke ? " RG\n" : " rg\n");
}

void PdfDocument::setWidth(double width) {
    if (width == currentWidth_) return;
    currentWidth_ = width;
    appendNumber(content_, width * PointsPerPixel);
    content_ += " w\n";
}

void PdfDocument::text(const QPointF& baseline, const LaidOutText& text, const QColor& colour) {
    // Every font first: one that cannot be embedded must not leave a text object open.
    for (const GlyphRun& run : text) {
        const int object = fontFor(*run.face).object();
        if (std::find(pageFonts_.begin(), pageFonts_.end(), object) == pageFonts_.end())
            pageFonts_.push_back(object);
    }
    if (text.begin() == text.end()) return;
    setColour(colour, false);
    content_ += "BT\n";
    // A missing-glyph box stands for no character; readers would take the blank cell it leaves
    // in the text for a space, so a text that has one says all of its characters itself.
    const bool ownText = text.hasMissingGlyphs();
    if (ownText) {
        QString shown = text.text();
        constexpr QChar Hidden(0xFFFF);  // a non-character: no font draws it either
        for (const GlyphRun& run : text)
            for (const GlyphCluster& cluster : run.clusters)
                if (missing(run, cluster))
                    shown.replace(cluster.textStart, cluster.textLength,
                                  QString(cluster.textLength, Hidden));
        shown.remove(Hidden);
        content_ += "/Span << /ActualText " + textString(shown.constData(), int(shown.size())) +
                    " >> BDC\n";
    }
    for (const GlyphRun& run : text)
        this->run(baseline, run, text.text(), text.points(), ownText);
    if (ownText) content_ += "EMC\n";
    content_ += "ET\n";
}

void PdfDocument::run(const QPointF& baseline, const GlyphRun& run, const QString& text,
                      double points, bool ownText) {
    PdfFont& font = fontFor(*run.face);
    const double size = points * run.scale;
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
        evenRun(QPointF(originX, originY), run, font, text, run.evenAdvance * PointsPerTwip *
                                                            thousandthsPerPoint))
        return;
    double penX = 0, penY = 0;  // where the next glyph goes without a shift
    for (const GlyphCluster& cluster : run.clusters) {
        const QChar* chars = text.constData() + cluster.textStart;
        const uint32_t* glyphs = run.glyphs.data() + cluster.firstGlyph;

        // The text layer takes a cluster's characters from its glyph's map entry; where that
        // entry cannot say it (several glyphs, or a glyph drawn for other characters before),
        // the page says it, unless it says the whole text.
        const bool mapped = cluster.glyphCount == 1 && glyphs[0] != 0 &&
                            font.mapsTo(glyphs[0], chars, cluster.textLength);
        const bool spanned = !mapped && !ownText && !missing(run, cluster);
        if (spanned) {
            endShow();
            content_ += "/Span << /ActualText " + textString(chars, cluster.textLength) +
                        " >> BDC\n";
        }
        for (int i = 0; i < cluster.glyphCount; ++i) {
            const size_t at = size_t(cluster.firstGlyph + i);
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
                const double shift = (penX - x) * thousandthsPerPoint;
                if (std::fabs(shift) >= 0.5) {
                    endString();
                    appendNumber(content_, shift);
                    penX = x;
                }
            }
            if (!inString_) show_ += '(';
            inString_ = true;
            const size_t end = show_.size();
            show_.resize(end + 4);
            show_.resize(size_t(putGlyph(&show_[end], glyphs[i]) - show_.data()));
            double width = font.width(glyphs[i]);
            // A glyph alone in its cells is as wide as the rest of them, so that readers of the
            // text see no gap between it and the next cell's character.
            if (width < 0)
                width = font.use(glyphs[i], cluster.glyphCount == 1 && size > 0
                                                ? (originX + cluster.end * PointsPerTwip - x) *
                                                      thousandthsPerPoint
                                                : -1);
            penX += width * pointsPerThousandth;
        }
        if (spanned) {
            endShow();
            content_ += "EMC\n";
        }
    }
    endShow();
}

bool PdfDocument::evenRun(const QPointF& origin, const GlyphRun& run, PdfFont& font,
                          const QString& text, double advance) {
    // One string without shifts, when every glyph maps to its character and the font's widths
    // place each on its cell: the plain text of a report, which this path keeps cheap.
    const size_t count = run.glyphs.size();
    const uint32_t* glyphs = run.glyphs.data();
    const QChar* chars = text.constData() + (count ? run.clusters.front().textStart : 0);
    if (&font != evenFont_) {
        evenFont_ = &font;
        evenGlyphs_.clear();
    }
    // The operator is written while its glyphs are checked, into room made once, and taken
    // back when the run needs the general way: a text per line makes this the most frequent
    // output of a job.
    constexpr size_t Operators = 32;  // "1 0 0 1 ", " ", " Tm [(", ")] TJ\n"
    const qsizetype start = content_.size();
    content_.resize(start + qsizetype(Operators + 2 * MaxNumberLength + count * 4));
    char* at = put(content_.data() + start, "1 0 0 1 ");
    at = putNumber(at, origin.x() + run.x.front() / TwipsPerPoint);
    *at++ = ' ';
    at = putNumber(at, origin.y());
    at = put(at, " Tm [(");
    double drift = 0;
    size_t i = 0;
    const EvenGlyph* known = evenGlyphs_.data();
    for (const size_t size = evenGlyphs_.size(); i < count; ++i) {
        const uint32_t glyph = glyphs[i];
        if (glyph >= size || known[glyph].key != (KnownGlyph | chars[i].unicode())) break;
        drift += known[glyph].width - advance;
        std::memcpy(at, known[glyph].bytes, 4);
        at += known[glyph].length;
    }
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

void PdfDocument::line(const QPointF& from, const QPointF& to, const QColor& colour, double width) {
    setColour(colour, true);
    setWidth(width);
    point(from);
    content_ += "m ";
    point(to);
    content_ += "l S\n";
}

void PdfDocument::box(const QRectF& rect, const QColor& colour, double width) {
    setColour(colour, true);
    setWidth(width);
    this->rect(rect);
    content_ += "S\n";
}

void PdfDocument::fill(const QRectF& rect, const QColor& colour) {
    setColour(colour, false);
    this->rect(rect);
    content_ += "f\n";
}

void PdfDocument::finish() {
    endPage();
    for (const auto& entry : fonts_) entry.second->write(pdf_);
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
