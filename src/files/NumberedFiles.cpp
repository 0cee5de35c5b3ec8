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

namespace zel {

using NumberedFilesDetail::fileError;
using NumberedFilesDetail::NumberedFile;

namespace {

void checkNumber(int16_t number) {
    if (number < NumberedFiles::kLowest || number > NumberedFiles::kHighest)
        throw VbError(VbErr::BadFileNameOrNumber);
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

}  // namespace

namespace NumberedFilesDetail {

NumberedFile::~NumberedFile() {
    if (fd >= 0) ::close(fd);
}

VbError fileError(int number, const QString& path) {
    return VbError(number,
                   VbError::standardText(number) + QStringLiteral(": ") + shownInError(path));
}

}  // namespace NumberedFilesDetail

NumberedFiles::NumberedFiles() = default;
NumberedFiles::~NumberedFiles() = default;

void NumberedFiles::open(int16_t number, const QString& path, int flags, bool lineInput) {
    checkNumber(number);
    if (files_[number]) throw VbError(VbErr::FileAlreadyOpen);
    if (path.isEmpty()) throw VbError(VbErr::BadFileNameOrNumber);
    auto file = std::make_unique<NumberedFile>();
    file->share = DescriptorShare::forFile(account_);
    file->fd = openRegularFile(path, flags);
    file->path = path;
    file->lineInput = lineInput;
    files_[number] = std::move(file);
}

NumberedFile& NumberedFiles::opened(int16_t number) {
    checkNumber(number);
    if (!files_[number]) throw VbError(VbErr::BadFileNameOrNumber);
    return *files_[number];
}

int16_t NumberedFiles::FreeFile() const {
    for (int16_t number = kLowest; number <= kHighest; ++number) {
        if (!files_[number]) return number;
    }
    throw VbError(VbErr::TooManyFiles);
}

void NumberedFiles::OpenInput(int16_t number, const QString& path) {
    open(number, path, O_RDONLY, true);
}

void NumberedFiles::OpenOutput(int16_t number, const QString& path) {
    open(number, path, O_WRONLY | O_CREAT | O_TRUNC);
}

void NumberedFiles::OpenAppend(int16_t number, const QString& path) {
    open(number, path, O_WRONLY | O_CREAT | O_APPEND);
}

void NumberedFiles::OpenBinary(int16_t number, const QString& path, ByteAccess access) {
    switch (access) {
        case ByteAccess::ReadWrite:
            return open(number, path, O_RDWR | O_CREAT);
        case ByteAccess::WriteOnly:
            return open(number, path, O_WRONLY | O_CREAT);
        case ByteAccess::ReadOnly:
            return open(number, path, O_RDONLY);
    }
}

void NumberedFiles::OpenBinaryRead(int16_t number, const QString& path) {
    OpenBinary(number, path, ByteAccess::ReadOnly);
}

bool NumberedFiles::IsOpen(int16_t number) const {
    return number >= kLowest && number <= kHighest && files_[number] != nullptr;
}

int64_t NumberedFiles::Lof(int16_t number) {
    const NumberedFile& file = opened(number);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) throw fileError(VbErr::PathFileAccessError, file.path);
    return static_cast<int64_t>(info.st_size);
}

void NumberedFiles::Close(int16_t number) {
    checkNumber(number);
    files_[number].reset();
}

void NumberedFiles::CloseAll() {
    for (auto& file : files_) file.reset();
}

void NumberedFiles::MkDir(const QString& path) {
    if (path.isEmpty()) throw VbError(VbErr::BadFileNameOrNumber);
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0) return;
    throw fileError(errno == EEXIST ? VbErr::PathFileAccessError : errorFor(errno, path), path);
}

}  // namespace zel
