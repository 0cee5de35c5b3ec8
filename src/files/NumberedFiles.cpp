#include "files/NumberedFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <array>
#include <cerrno>
#include <memory>

#include "files/NumberedFilePool.h"

namespace zel::NumberedFiles {

using detail::fileError;
using detail::NumberedFile;

namespace {

// The process-wide pool; slot 0 is never used so that a number is its own index.
std::array<std::unique_ptr<NumberedFile>, kHighest + 1>& pool() {
    static std::array<std::unique_ptr<NumberedFile>, kHighest + 1> files;
    return files;
}

void checkNumber(int16_t number) {
    if (number < kLowest || number > kHighest) throw VbError(VbErr::BadFileNameOrNumber);
}

// The error for a path that could not be examined, opened or created.
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

// Opens a regular file. The type is checked before opening, so that a FIFO is never opened,
// and again on the open descriptor, in case the path was replaced in between. With O_CREAT a
// missing file is created; otherwise it is file not found.
int openRegularFile(const QString& path, int flags) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) throw fileError(VbErr::PathFileAccessError, path);
    } else if (errno != ENOENT || !(flags & O_CREAT)) {
        throw fileError(errorFor(errno, path), path);
    }

    const int fd = ::open(native.constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) throw fileError(errorFor(errno, path), path);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw fileError(VbErr::PathFileAccessError, path);
    }
    return fd;
}

void open(int16_t number, const QString& path, int flags, bool lineInput = false) {
    checkNumber(number);
    if (pool()[number]) throw VbError(VbErr::FileAlreadyOpen);
    if (path.isEmpty()) throw VbError(VbErr::BadFileNameOrNumber);
    auto file = std::make_unique<NumberedFile>();
    file->fd = openRegularFile(path, flags);
    file->path = path;
    file->lineInput = lineInput;
    pool()[number] = std::move(file);
}

}  // namespace

namespace detail {

NumberedFile::~NumberedFile() {
    if (fd >= 0) ::close(fd);
}

NumberedFile& opened(int16_t number) {
    checkNumber(number);
    if (!pool()[number]) throw VbError(VbErr::BadFileNameOrNumber);
    return *pool()[number];
}

VbError fileError(int number, const QString& path) {
    return VbError(number,
                   VbError::standardText(number) + QStringLiteral(": ") + shownInError(path));
}

}  // namespace detail

int16_t FreeFile() {
    for (int16_t number = kLowest; number <= kHighest; ++number) {
        if (!pool()[number]) return number;
    }
    throw VbError(VbErr::TooManyFiles);
}

void OpenInput(int16_t number, const QString& path) {
    open(number, path, O_RDONLY, true);
}

void OpenOutput(int16_t number, const QString& path) {
    open(number, path, O_WRONLY | O_CREAT | O_TRUNC);
}

void OpenAppend(int16_t number, const QString& path) {
    open(number, path, O_WRONLY | O_CREAT | O_APPEND);
}

void OpenBinary(int16_t number, const QString& path, ByteAccess access) {
    switch (access) {
        case ByteAccess::ReadWrite:
            return open(number, path, O_RDWR | O_CREAT);
        case ByteAccess::WriteOnly:
            return open(number, path, O_WRONLY | O_CREAT);
        case ByteAccess::ReadOnly:
            return open(number, path, O_RDONLY);
    }
}

void OpenBinaryRead(int16_t number, const QString& path) {
    OpenBinary(number, path, ByteAccess::ReadOnly);
}

bool IsOpen(int16_t number) {
    return number >= kLowest && number <= kHighest && pool()[number] != nullptr;
}

int64_t Lof(int16_t number) {
    const NumberedFile& file = detail::opened(number);
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

void MkDir(const QString& path) {
    if (path.isEmpty()) throw VbError(VbErr::BadFileNameOrNumber);
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0) return;
    throw fileError(errno == EEXIST ? VbErr::PathFileAccessError : errorFor(errno, path), path);
}

}  // namespace zel::NumberedFiles
