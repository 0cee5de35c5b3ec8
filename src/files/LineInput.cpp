#include <unistd.h>

#include <QStringDecoder>
#include <algorithm>
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

// Every byte of the file, read from its start without moving the reading position, is UTF-8.
// A sequence cut off at the end of the file is none.
bool wholeFileIsUtf8(const NumberedFile& file) {
    QStringDecoder utf8(QStringConverter::Utf8);
    QByteArray chunk(kChunk, Qt::Uninitialized);
    for (off_t at = 0;;) {
        ssize_t got;
        do {
            got = ::pread(file.fd, chunk.data(), static_cast<size_t>(kChunk), at);
        } while (got < 0 && errno == EINTR);
        if (got < 0) throw NumberedFilesDetail::fileError(VbErr::PathFileAccessError, file.path);
        if (got == 0) break;
        // The decoder checks as it decodes, and decodes when its result is taken.
        const QString decodedChunk = utf8(QByteArrayView(chunk.constData(), got));
        if (utf8.hasError()) return false;
        at += got;
    }
    const QString afterTheEnd = utf8(QByteArrayView("\n"));
    return !utf8.hasError();
}

// A line's text in the encoding of its file: UTF-8 when the whole file is (a byte-order mark at
// its start dropped), Windows-1252 otherwise, the encoding of templates written on the original
// platform.
QString decoded(NumberedFile& file, QByteArray& line) {
    if (file.encoding == NumberedFilesDetail::LineEncoding::Undecided) {
        file.encoding =
            wholeFileIsUtf8(file) ? NumberedFilesDetail::LineEncoding::Utf8 : NumberedFilesDetail::LineEncoding::Windows1252;
    }
    if (file.encoding == NumberedFilesDetail::LineEncoding::Utf8) {
        if (file.linesRead == 0 && line.startsWith("\xef\xbb\xbf")) line.remove(0, 3);
        return QString::fromUtf8(line);
    }
    QStringDecoder windows1252("windows-1252");
    // A Qt built without ICU knows no Windows-1252; Latin-1 differs from it in 0x80 to 0x9F only.
    return windows1252.isValid() ? QString(windows1252(line)) : QString::fromLatin1(line);
}

// 7 for a line past the longest text, naming the file and the line as a reader needs them.
VbError lineTooLong(const NumberedFile& file) {
    return VbError(VbErr::OutOfMemory,
                   QStringLiteral("%1 (%2, line %3)")
                       .arg(VbError::standardText(VbErr::OutOfMemory), shownInError(file.path))
                       .arg(file.linesRead + 1));
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
        const char* begin = file.buffer.constData() + file.position;
        const char* end = file.buffer.constData() + file.buffer.size();
        const char* stop = std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
        if (line.size() + (stop - begin) > MaxLineBytes) throw lineTooLong(file);
        line.append(begin, stop - begin);
        file.position += stop - begin;
        if (stop == end) continue;
        ++file.position;
        if (*stop == '\r' && hasByte(file) && file.buffer.at(file.position) == '\n')
            ++file.position;
        break;
    }
    const QString text = decoded(file, line);
    if (text.size() > MaxTextLength) throw lineTooLong(file);
    ++file.linesRead;
    return text;
}

bool NumberedFiles::Eof(int16_t number) {
    return !hasByte(openedForInput(number));
}

}  // namespace zel
