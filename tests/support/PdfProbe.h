#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QVector>

// What poppler sees in a PDF file.
struct PdfWord {
    int page;  // from 1
    QString text;
    double left;  // points from the page's top-left corner
    double top;
};

int pdfPageCount(const QString& path);
QSizeF pdfPageSize(const QString& path, int page);  // points
QVector<PdfWord> pdfWords(const QString& path);
// The text as pdftotext gives it back, without the embedding marks it puts around right-to-left
// text.
QString pdfText(const QString& path);
// The rows of pdffonts' table, one a font.
QStringList pdfFonts(const QString& path);
// A part of the page (in pixels of dpi) rendered in grey levels.
QImage pdfPageImage(const QString& path, int page, int dpi, const QRect& crop);

// The ink of an image (pixels darker than mid-grey): its bounding box, and the widest stretch of
// columns without ink between its first and last inked column (a hole inside a word).
struct Ink {
    QRect box;
    int widestGap = 0;
};
Ink inkOf(const QImage& image);
