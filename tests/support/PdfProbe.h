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
// A part of the page (in pixels of dpi) rendered in grey levels.
QImage pdfPageImage(const QString& path, int page, int dpi, const QRect& crop);
