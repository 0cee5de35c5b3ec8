#pragma once

#include <QFile>
#include <QString>
#include <QStringDecoder>

#include "app/InputFiles.h"

namespace zel {

// The lines of an ordinary text file, read block by block so that a file of any size takes
// little memory: a line ends at LF, CR LF or CR; UTF-8 (a byte-order mark dropped) or
// Windows-1252, as the file was found to be; tabs expand to every eighth column,
// since the grid has no tab stops. A line longer than the longest text (1 048 576 characters,
// tabs expanded) is 7, found before more than three bytes a character of it are read.
class TextFileLines {
public:
    TextFileLines(QFile& file, TextEncoding encoding);
    // The next line into line; false at the end of the file.
    bool next(QString& line);

private:
    bool fill();
    QString decoded(QByteArrayView bytes);

    QFile& file_;
    QByteArray block_;
    qsizetype at_ = 0;
    bool skipLf_ = false;  // a CR ended the previous block's last line
    bool first_ = true;
    QStringDecoder windows1252_;  // invalid when the file is UTF-8
};

// Tabs replaced by spaces up to the next multiple of eight columns.
QString expandTabs(const QString& text);

}  // namespace zel
