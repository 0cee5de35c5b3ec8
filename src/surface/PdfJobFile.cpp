#include "surface/PdfJobFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "variant/VbError.h"

namespace zel {

namespace {

VbError fileError(const QString& path, const QString& reason) {
    return VbError(VbErr::PrinterError, QStringLiteral("Printer error: %1: %2").arg(path, reason));
}

constexpr int MaxJobNumber = 9999;

// The spool file is private while it is written; the finished job gets the permissions of any
// file the user creates.
void giveUsualPermissions(const QByteArray& path) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(path.constData(), 0666 & ~mask);
}

}  // namespace

std::unique_ptr<QTemporaryFile> createSpoolFile(const QString& directory) {
    if (!QDir().mkpath(directory)) throw fileError(directory, QStringLiteral("cannot create"));
    auto spool = std::make_unique<QTemporaryFile>(directory + QStringLiteral("/.job-XXXXXX.part"));
    if (!spool->open()) throw fileError(directory, spool->errorString());
    return spool;
}

QString publishPdfJob(const QString& spoolPath, const QString& directory) {
    if (QFileInfo(spoolPath).size() <= 0)
        throw fileError(spoolPath, QStringLiteral("the job produced no output"));
    for (int number = 1; number <= MaxJobNumber; ++number) {
        // The directory is appended, not substituted: a '%1' in its name is no placeholder.
        const QString path =
            directory + QStringLiteral("/job-%1.pdf").arg(number, 4, 10, QLatin1Char('0'));
        const QByteArray name = QFile::encodeName(path);
        const int fd = ::open(name.constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            throw fileError(path, QString::fromLocal8Bit(strerror(errno)));
        }
        ::close(fd);
        giveUsualPermissions(QFile::encodeName(spoolPath));
        if (std::rename(QFile::encodeName(spoolPath).constData(), name.constData()) != 0) {
            const QString reason = QString::fromLocal8Bit(strerror(errno));
            ::unlink(name.constData());
            throw fileError(path, reason);
        }
        if (QFileInfo(path).size() <= 0) throw fileError(path, QStringLiteral("empty file"));
        return path;
    }
    throw fileError(directory, QStringLiteral("no free job number"));
}

}  // namespace zel
