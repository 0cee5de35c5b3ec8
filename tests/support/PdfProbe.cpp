#include "support/PdfProbe.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

int pdfPageCount(const QString& path) {
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                   QRegularExpression::MultilineOption);
    const auto match = pages.match(run(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QSizeF pdfPageSize(const QString& path, int page) {
    const QRegularExpression size(QStringLiteral("size:\\s+([\\d.]+) x ([\\d.]+) pts"));
    const QString page_ = QString::number(page);
    const auto match =
        size.match(run(QStringLiteral("pdfinfo"),
                       {QStringLiteral("-f"), page_, QStringLiteral("-l"), page_, path}));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble())
                            : QSizeF();
}

QVector<PdfWord> pdfWords(const QString& path) {
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"(-?[\\d.]+)\" yMin=\"(-?[\\d.]+)\"[^>]*>([^<]*)</word>"));
    QVector<PdfWord> words;
    int page = 0;
    for (const QString& line : html.split(u'\n')) {
        if (line.contains(QStringLiteral("<page "))) ++page;
        const auto match = word.match(line);
        if (match.hasMatch())
            words.append({page, match.captured(3), match.captured(1).toDouble(),
                          match.captured(2).toDouble()});
    }
    return words;
}

QString pdfText(const QString& path) {
    QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    text.remove(QRegularExpression(QStringLiteral("[\u202A-\u202E]")));
    return text;
}

QStringList pdfFonts(const QString& path) {
    return run(QStringLiteral("pdffonts"), {path}).split(u'\n', Qt::SkipEmptyParts).mid(2);
}

QImage pdfPageImage(const QString& path, int page, int dpi, const QRect& crop) {
    QTemporaryDir dir;
    const QString number = QString::number(page);
    const QString base = dir.path() + QStringLiteral("/page");
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"), QStringLiteral("-f"),
         number, QStringLiteral("-l"), number, QStringLiteral("-x"), QString::number(crop.x()),
         QStringLiteral("-y"), QString::number(crop.y()), QStringLiteral("-W"),
         QString::number(crop.width()), QStringLiteral("-H"), QString::number(crop.height()),
         QStringLiteral("-singlefile"), path, base});
    return QImage(base + QStringLiteral(".pgm"));
}

Ink inkOf(const QImage& image) {
    Ink ink;
    int gap = 0;
    for (int x = 0; x < image.width(); ++x) {
        bool inked = false;
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 128) {
                ink.box |= QRect(x, y, 1, 1);
                inked = true;
            }
        if (inked) {
            ink.widestGap = std::max(ink.widestGap, gap);
            gap = 0;
        } else if (!ink.box.isNull()) {
            ++gap;
        }
    }
    return ink;
}
