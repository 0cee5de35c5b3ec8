#include "RecordingPrinterSurface.h"

#include "surface/Fonts.h"
#include "variant/VbError.h"

namespace zel {

namespace {

QString number(double value) {
    return QString::number(value, 'g', 10);
}

QString flag(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

QStringList RecordingPrinterSurface::callsOf(const QString& name) const {
    QStringList found;
    const QString prefix = name + u'(';
    for (const QString& call : calls_)
        if (call.startsWith(prefix)) found << call;
    return found;
}

void RecordingPrinterSurface::record(const QString& name, const QStringList& args) {
    calls_ << name + u'(' + args.join(u',') + u')';
}

// Output on the sheet: the job starts with its first sheet, a page change counts once the new
// sheet holds output.
void RecordingPrinterSurface::output() {
    if (!jobOpen_) {
        jobOpen_ = true;
        sheets_ = 0;
    }
    if (!written_) ++sheets_;
    written_ = true;
}

void RecordingPrinterSurface::endJob() {
    jobOpen_ = false;
    written_ = false;
    sheets_ = 0;
    x_ = y_ = 0;
}

void RecordingPrinterSurface::setCurrentX(float twips) {
    record(QStringLiteral("setCurrentX"), {number(twips)});
    x_ = twips;
}

void RecordingPrinterSurface::setCurrentY(float twips) {
    record(QStringLiteral("setCurrentY"), {number(twips)});
    y_ = twips;
}

void RecordingPrinterSurface::Line(int flags, float x1, float y1, float x2, float y2,
                                   int32_t colour) {
    record(QStringLiteral("Line"),
           {number(flags), number(x1), number(y1), number(x2), number(y2), number(colour)});
    output();
    x_ = x2;
    y_ = y2;
}

void RecordingPrinterSurface::Print(const QString& text, bool lineEnd) {
    record(QStringLiteral("Print"), {text, flag(lineEnd)});
    if (failPrint_) throw VbError(VbErr::PrinterError);
    if (!text.isEmpty()) output();
    if (lineEnd) {
        x_ = 0;
        y_ += CellHeight;
    } else {
        x_ += TextWidth(text);
    }
}

void RecordingPrinterSurface::setForeColor(int32_t colour) {
    record(QStringLiteral("setForeColor"), {number(colour)});
    foreColor_ = colour;
}

void RecordingPrinterSurface::setDrawWidth(int16_t pixels) {
    record(QStringLiteral("setDrawWidth"), {number(pixels)});
    if (pixels < 1) throw VbError(VbErr::InvalidPropertyValue);
    drawWidth_ = pixels;
}

void RecordingPrinterSurface::setDrawMode(int16_t mode) {
    record(QStringLiteral("setDrawMode"), {number(mode)});
    if (mode < 1 || mode > 16) throw VbError(VbErr::InvalidPropertyValue);
    drawMode_ = mode;
}

void RecordingPrinterSurface::setFontName(const QString& name) {
    record(QStringLiteral("setFontName"), {name});
    resolveFont(name);
    fontName_ = name;
}

void RecordingPrinterSurface::setFontSize(float points) {
    record(QStringLiteral("setFontSize"), {number(points)});
    checkFontSize(points);
    fontSize_ = points;
}

void RecordingPrinterSurface::setFontBold(bool bold) {
    record(QStringLiteral("setFontBold"), {flag(bold)});
    fontBold_ = bold;
}

void RecordingPrinterSurface::NewPage() {
    record(QStringLiteral("NewPage"));
    if (failNewPage_) throw VbError(VbErr::PrinterError);
    written_ = false;
    x_ = y_ = 0;
}

void RecordingPrinterSurface::EndDoc() {
    record(QStringLiteral("EndDoc"));
    if (jobOpen_) ++jobsEnded_;
    endJob();
}

void RecordingPrinterSurface::KillDoc() {
    record(QStringLiteral("KillDoc"));
    if (jobOpen_) ++jobsKilled_;
    endJob();
}

void RecordingPrinterSurface::setFillColor(int32_t colour) {
    record(QStringLiteral("setFillColor"), {number(colour)});
    fillColor_ = colour;
}

void RecordingPrinterSurface::PaintBackground(int32_t colour) {
    record(QStringLiteral("PaintBackground"), {number(colour)});
}

void RecordingPrinterSurface::setFontTransparent(bool transparent) {
    record(QStringLiteral("setFontTransparent"), {flag(transparent)});
    fontTransparent_ = transparent;
    backgroundTransparent_ = transparent;
}

void RecordingPrinterSurface::setOrientation(int16_t orientation) {
    record(QStringLiteral("setOrientation"), {number(orientation)});
    if (orientation != 1 && orientation != 2) throw VbError(VbErr::InvalidPropertyValue);
    if (orientation == orientation_) return;
    if (written_) throw VbError(VbErr::PropertyCannotBeSetWithinPage);
    orientation_ = orientation;
}

void RecordingPrinterSurface::setColorMode(int16_t mode) {
    record(QStringLiteral("setColorMode"), {number(mode)});
    if (mode != 1 && mode != 2) throw VbError(VbErr::InvalidPropertyValue);
    colorMode_ = mode;
}

void RecordingPrinterSurface::setBackgroundTransparent() {
    record(QStringLiteral("setBackgroundTransparent"));
    backgroundTransparent_ = true;
}

}  // namespace zel
