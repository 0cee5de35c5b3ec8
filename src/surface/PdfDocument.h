#pragma once

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "surface/PageLayout.h"
#include "surface/PdfWriter.h"
#include "surface/Rgb.h"

class QFileDevice;

namespace zel {

class FontFace;
class LaidOutText;
class PdfColourFont;
class PdfFont;
struct GlyphCluster;
struct GlyphRun;
struct OnSheet;

// A print job as a PDF file, written page by page: each page's drawing is one content stream,
// written when the page ends, so memory stays flat however long the job. Positions are device
// pixels of 600 dpi from the printable area's top-left corner; each run of a laid-out text is one
// text operator; each font used is embedded once, at the end, as a subset.
class PdfDocument {
public:
    PdfDocument(QFileDevice& file, bool grayscale);
    ~PdfDocument();

    // A new page of the sheet's paper and orientation; the previous page ends.
    void beginPage(const PageLayout& sheet);
    // The laid-out text with its baseline starting at the point, in the colour; VbError 482
    // when a face it uses cannot be embedded. Every glyph gives back the characters it was
    // drawn for (a missing-glyph box none).
    void text(const QPointF& baseline, const LaidOutText& text, Rgb colour);
    // A line as a stroke of width pixels (600 dpi; square ends, as the pen of the window).
    void line(const QPointF& from, const QPointF& to, Rgb colour, double width);
    // A rectangle's outline as such a stroke, or filled.
    void box(const QRectF& rect, Rgb colour, double width);
    void fill(const QRectF& rect, Rgb colour);
    // The title in the document information (written at finish; ZelPrintDemo until set).
    void setTitle(const QString& title) { title_ = title; }
    // Ends the last page and writes the fonts, the page tree, the document information and the
    // trailer; VbError when the file could not be written.
    void finish();

private:
    void endPage();
    void setColour(Rgb colour, bool stroke);
    void setWidth(double width);
    void point(const QPointF& device);  // "x y " in PDF points
    void rect(const QRectF& device);    // "x y w h re"
    PdfFont& fontFor(const FontFace& face);
    // ownText: the text as a whole says which characters it shows. Clusters off the sheet are
    // left out.
    void run(const QPointF& baseline, const GlyphRun& run, const QString& text, double points,
             bool ownText, const OnSheet& sheet);
    // A run of a colour face: each glyph its image, as a glyph of a Type 3 font.
    void colourRun(const QPointF& origin, const GlyphRun& run, const QString& text, double size);
    // The run as one string if its glyphs, each one character, fall on their places by the
    // font's widths alone (advance in 1/1000 of the size); false when it needs the general way.
    bool evenRun(const QPointF& origin, const GlyphRun& run, PdfFont& font, const QString& text,
                 double advance, const OnSheet& sheet);
    // Closes the open string of a TJ operator, or the string and the operator, if open.
    void endString();
    void endShow();

    PdfWriter pdf_;
    bool grayscale_;
    QString title_ = QStringLiteral("ZelPrintDemo");
    int catalog_, pages_;
    std::vector<int> pageObjects_;
    std::map<const FontFace*, std::unique_ptr<PdfFont>> fonts_;
    std::map<const FontFace*, std::vector<std::unique_ptr<PdfColourFont>>> colourFonts_;
    // The font last asked for, so that the lookup runs only when the face changes.
    const FontFace* lastFace_ = nullptr;
    PdfFont* lastPdfFont_ = nullptr;
    // A glyph evenRun has checked: the one character it gives back (with a mark, as the
    // character may be 0), its width and its bytes in a string.
    struct EvenGlyph {
        uint32_t key = 0;
        char bytes[4] = {};
        int length = 0;
        double width = 0;
    };
    // By glyph, of the font evenRun last wrote: a text checks and writes each glyph it has met
    // before with one lookup.
    const PdfFont* evenFont_ = nullptr;
    std::vector<EvenGlyph> evenGlyphs_;
    // The start of the text evenRun last wrote, in points, as written.
    double evenX_ = -1;
    char evenXText_[MaxNumberLength] = {};
    int evenXLength_ = 0;
    bool inArray_ = false;   // a TJ array is open
    bool inString_ = false;  // and a string in it
    std::string show_;       // the open string's glyphs
    // The page in progress.
    bool inPage_ = false;
    QByteArray content_;
    qsizetype largestPage_ = 0;  // the content of the largest page so far, in bytes
    std::vector<int> pageFonts_;
    double left_ = 0, top_ = 0;  // points: the printable area's corner from the bottom left
    double width_ = 0, height_ = 0;
    const PdfFont* currentFont_ = nullptr;
    double currentSize_ = -1;
    std::optional<Rgb> fillColour_, strokeColour_;
    double currentWidth_ = -1;
    // The codes a cluster's glyphs are written as, in the order they are written; the glyphs.
    std::vector<uint32_t> codes_, written_;
};

}  // namespace zel
