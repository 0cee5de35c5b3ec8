#include "files/NumberedFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <array>
#include <cerrno>
#include <memory>

#include "variant/VbError.h"

namespace zel::NumberedFiles {

namespace {

// One open file. The sequential modes (line input, end-of-file test) add their access mode
// and read buffer here.
struct OpenFile {
    int fd = -1;
    QString path;

    ~OpenFile() {
        if (fd >= 0) ::close(fd);
    }
};

// The process-wide pool; slot 0 is never used so that a number is its own index.
std::array<std::unique_ptr<OpenFile>, kHighest + 1>& pool() {
    static std::array<std::unique_ptr<OpenFile>, kHighest + 1> files;
    return files;
}

void checkNumber(int16_t number) {
    if (number < kLowest || number > kHighest) throw VbError(VbErr::BadFileNameOrNumber);
}

OpenFile& opened(int16_t number) {
    checkNumber(number);
    if (!pool()[number]) throw VbError(VbErr::BadFileNameOrNumber);
    return *pool()[number];
}

// The error with the file's name after the platform's text.
VbError fileError(int number, const QString& path) {
    return VbError(number, VbError::standardText(number) + QStringLiteral(": ") + path);
}

// The error for a path that could not be examined or opened.
int errorFor(int error, const QString& path) {
    switch (error) {
        case ENOENT:
            return QFileInfo(path).absoluteDir().exists() ? VbErr::FileNotFound
                                                          : VbErr::PathNotFound;
        case ENOTDIR:
            return VbErr::PathNotFound;
        case EMFILE:
        case ENFILE:
            return VbErr::TooManyFiles;
        case ENAMETOOLONG:
            return VbErr::BadFileNameOrNumber;
        default:
            return VbErr::PathFileAccessError;
    }
}

// Opens an existing regular file: the type is checked before opening, so that a FIFO is never
// opened, and again on the open descriptor, in case the path was replaced in between.
int openRegularFile(const QString& path, int flags) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) throw fileError(errorFor(errno, path), path);
    if (!S_ISREG(info.st_mode)) throw fileError(VbErr::PathFileAccessError, path);

    const int fd = ::open(native.constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw fileError(errorFor(errno, path), path);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw fileError(VbErr::PathFileAccessError, path);
    }
    return fd;
}

}  // namespace

int16_t FreeFile() {
    for (int16_t number = kLowest; number <= kHighest; ++number) {
        if (!pool()[number]) return number;
    }
    throw VbError(VbErr::TooManyFiles);
}

void OpenBinaryRead(int16_t number, const QString& path) {
    checkNumber(number);
    if (pool()[number]) throw VbError(VbErr::FileAlreadyOpen);
    if (path.isEmpty()) throw VbError(VbErr::BadFileNameOrNumber);
    auto file = std::make_unique<OpenFile>();
    file->fd = openRegularFile(path, O_RDONLY);
    file->path = path;
    pool()[number] = std::move(file);
}

bool IsOpen(int16_t number) {
    return number >= kLowest && number <= kHighest && pool()[number] != nullptr;
}

int64_t Lof(int16_t number) {
    const OpenFile& file = opened(number);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) throw fileError(VbErr::PathFileAccessError, file.path);
    return static_cast<int64_t>(info.st_size);
}

void Close(int16_t number) {
    checkNumber(number);
    pool()[number].reset();
}

void CloseAll() {
    for (auto& file : pool()) file.reset();
}

}  // namespace zel::NumberedFiles
