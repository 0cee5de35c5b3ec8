#include "surface/PdfDocument.h"

#include <QColor>
#include <QFileDevice>
#include <QRawFont>
#include <algorithm>

#include "general/Clock.h"
#include "surface/PdfFont.h"
#include "surface/PdfInfo.h"
#include "variant/VbError.h"

namespace zel {

namespace {

constexpr double PointsPerPixel = 72.0 / 600.0;

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

PdfFont& PdfDocument::fontFor(const QFont& font) {
    if (lastPdfFont_ && font == lastFont_) return *lastPdfFont_;
    const QRawFont raw = QRawFont::fromFont(font);
    // At sizes far beyond what the surfaces allow, the font engine makes no font of a file but
    // draws boxes, and such a font has no name to ask for (asking crashes) nor tables to embed.
    if (!raw.isValid() || raw.fontTable("head").isEmpty())
        throw VbError(VbErr::PrinterError,
                      QStringLiteral("Printer error: the font %1 cannot be made at %2 points")
                          .arg(font.family())
                          .arg(font.pointSizeF()));
    const QString key = raw.familyName() + QLatin1Char('\n') + raw.styleName();
    std::unique_ptr<PdfFont>& entry = fonts_[key];
    if (!entry) entry = std::make_unique<PdfFont>(raw, pdf_.reserve());
    lastFont_ = font;
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

void PdfDocument::text(const QPointF& baseline, const QString& text, const QFont& font,
                       const QColor& colour) {
    PdfFont& pdfFont = fontFor(font);
    if (std::find(pageFonts_.begin(), pageFonts_.end(), pdfFont.object()) == pageFonts_.end())
        pageFonts_.push_back(pdfFont.object());
    setColour(colour, false);
    content_ += "BT\n";
    const double size = font.pointSizeF();
    if (&pdfFont != currentFont_ || size != currentSize_) {
        currentFont_ = &pdfFont;
        currentSize_ = size;
        content_ += "/F" + QByteArray::number(pdfFont.object()) + ' ';
        appendNumber(content_, size);
        content_ += " Tf\n";
    }
    point(baseline);
    content_ += "Td ";
    pdfFont.appendGlyphs(content_, text);
    content_ += " Tj\nET\n";
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
