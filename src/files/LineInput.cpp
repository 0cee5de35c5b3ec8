#include <unistd.h>

#include <cerrno>

#include "files/NumberedFilePool.h"
#include "files/NumberedFiles.h"
#include "variant/Bounds.h"

namespace zel::NumberedFiles {

using detail::NumberedFile;

namespace {

constexpr qsizetype kChunk = 64 * 1024;

NumberedFile& openedForInput(int16_t number) {
    NumberedFile& file = detail::opened(number);
    if (!file.lineInput) throw VbError(VbErr::BadFileNameOrNumber);
    return file;
}

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
        throw detail::fileError(VbErr::PathFileAccessError, file.path);
    }
    file.buffer.resize(got);
    file.position = 0;
    return got > 0;
}

// 7 for a line past the longest text, naming the file and the line as a reader needs them.
VbError lineTooLong(const NumberedFile& file) {
    return VbError(VbErr::OutOfMemory,
                   QStringLiteral("%1 (%2, line %3)")
                       .arg(VbError::standardText(VbErr::OutOfMemory), shownInError(file.path))
                       .arg(file.linesRead + 1));
}

}  // namespace

QString LineInput(int16_t number) {
    NumberedFile& file = openedForInput(number);
    if (!hasByte(file)) throw detail::fileError(VbErr::InputPastEndOfFile, file.path);
    QByteArray line;
    while (hasByte(file)) {
        const qsizetype end = file.buffer.indexOf('\r', file.position);
        const qsizetype stop = end < 0 ? file.buffer.size() : end;
        if (line.size() + (stop - file.position) > MaxLineBytes) throw lineTooLong(file);
        line.append(file.buffer.constData() + file.position, stop - file.position);
        file.position = stop;
        if (end < 0) continue;
        ++file.position;
        if (hasByte(file) && file.buffer.at(file.position) == '\n') ++file.position;
        break;
    }
    QString text = QString::fromUtf8(line);
    if (text.size() > MaxTextLength) throw lineTooLong(file);
    ++file.linesRead;
    return text;
}

bool Eof(int16_t number) {
    return !hasByte(openedForInput(number));
}

}  // namespace zel::NumberedFiles
