#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "files/DescriptorBudget.h"

#include "variant/VbError.h"

// The inside of the numbered-file layer, shared by its source files.
namespace zel::NumberedFilesDetail {

// How the lines of a file opened for line input are decoded, decided at its first line.
enum class LineEncoding : uint8_t { Undecided, Utf8, Windows1252 };

// One open file. Files opened for line input keep their read buffer here.
struct NumberedFile {
    int fd = -1;
    QString path;
    bool lineInput = false;
    QByteArray buffer;
    qsizetype position = 0;  // the next unread byte of buffer
    int64_t linesRead = 0;   // by LineInput, to say which line an error is about
    LineEncoding encoding = LineEncoding::Undecided;
    DescriptorShare share;  // given back after the descriptor is closed

    NumberedFile() = default;
    NumberedFile(const NumberedFile&) = delete;
    NumberedFile& operator=(const NumberedFile&) = delete;
    ~NumberedFile();
};

// The error with the file's name after the platform's text.
VbError fileError(int number, const QString& path);

}  // namespace zel::NumberedFilesDetail
