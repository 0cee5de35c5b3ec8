#include <unistd.h>

#include <cerrno>

#include "files/NumberedFilePool.h"
#include "files/NumberedFiles.h"
#include "variant/Bounds.h"

namespace zel {

using NumberedFilesDetail::NumberedFile;

namespace {

constexpr qsizetype kChunk = 64 * 1024;

// True when an unread byte is in the buffer, reading the next chunk when it is used up.
bool hasByte(NumberedFile& file) {
    if (file.position < file.buffer.size()) return true;
    file.buffer.resize(kChunk);
    ssize_t got;
    do {
        got = ::read(file.fd, file.buffer.data(), static_cast<size_t>(kChunk));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        file.buffer.clear();
        throw NumberedFilesDetail::fileError(VbErr::PathFileAccessError, file.path);
    }
    file.buffer.resize(got);
    file.position = 0;
    return got > 0;
}

}  // namespace

NumberedFile& NumberedFiles::openedForInput(int16_t number) {
    NumberedFile& file = opened(number);
    if (!file.lineInput) throw VbError(VbErr::BadFileNameOrNumber);
    return file;
}

QString NumberedFiles::LineInput(int16_t number) {
    NumberedFile& file = openedForInput(number);
    if (!hasByte(file)) throw NumberedFilesDetail::fileError(VbErr::InputPastEndOfFile, file.path);
    QByteArray line;
    while (hasByte(file)) {
        const qsizetype end = file.buffer.indexOf('\r', file.position);
        const qsizetype stop = end < 0 ? file.buffer.size() : end;
        if (line.size() + (stop - file.position) > MaxLineBytes) throw VbError(VbErr::OutOfMemory);
        line.append(file.buffer.constData() + file.position, stop - file.position);
        file.position = stop;
        if (end < 0) continue;
        ++file.position;
        if (hasByte(file) && file.buffer.at(file.position) == '\n') ++file.position;
        break;
    }
    QString text = QString::fromUtf8(line);
    requireTextLength(text.size());
    return text;
}

bool NumberedFiles::Eof(int16_t number) {
    return !hasByte(openedForInput(number));
}

}  // namespace zel
