#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "variant/VbError.h"

// The inside of the numbered-file layer, shared by its source files.
namespace zel::NumberedFilesDetail {

// One open file. Files opened for line input keep their read buffer here.
struct NumberedFile {
    int fd = -1;
    QString path;
    bool lineInput = false;
    QByteArray buffer;
    qsizetype position = 0;  // the next unread byte of buffer

    NumberedFile() = default;
    NumberedFile(const NumberedFile&) = delete;
    NumberedFile& operator=(const NumberedFile&) = delete;
    ~NumberedFile();
};

// The error with the file's name after the platform's text.
VbError fileError(int number, const QString& path);

}  // namespace zel::NumberedFilesDetail
