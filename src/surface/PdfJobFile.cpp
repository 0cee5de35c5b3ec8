#include "surface/PdfJobFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "variant/VbError.h"

namespace zel {

namespace {

VbError fileError(const QString& path, const QString& reason) {
    return VbError(VbErr::PrinterError,
                   QStringLiteral("Printer error: %1: %2").arg(shownInError(path), reason));
}

constexpr int MaxJobNumber = 9999;

// The spool file is private while it is written; the finished job gets the permissions of any
// file the user creates.
void giveUsualPermissions(const QByteArray& path) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(path.constData(), 0666 & ~mask);
}

// Spool files whose process is gone: nobody will publish or remove them.
void removeStaleSpoolFiles(const QString& directory) {
    static const QRegularExpression ours(QStringLiteral("^\\.job-(\\d+)-.{6}\\.part$"));
    const QStringList names =
        QDir(directory).entryList({QStringLiteral(".job-*.part")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = ours.match(name);
        if (!match.hasMatch()) continue;
        const pid_t pid = static_cast<pid_t>(match.captured(1).toLongLong());
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            QFile::remove(directory + u'/' + name);
    }
}

}  // namespace

std::unique_ptr<QTemporaryFile> createSpoolFile(const QString& directory) {
    if (!QDir().mkpath(directory)) throw fileError(directory, QStringLiteral("cannot create"));
    removeStaleSpoolFiles(directory);
    auto spool = std::make_unique<QTemporaryFile>(
        directory + QStringLiteral("/.job-%1-XXXXXX.part").arg(::getpid()));
    if (!spool->open()) throw fileError(directory, spool->errorString());
    return spool;
}

void requireCompleteSpool(const QString& spoolPath) {
    const QByteArray name = QFile::encodeName(spoolPath);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw fileError(spoolPath, QString::fromLocal8Bit(strerror(errno)));
    // A full file system may only say so when the written pages reach the disk.
    const bool flushed = ::fsync(fd) == 0;
    const int flushError = errno;
    char tail[32] = {};
    const off_t size = ::lseek(fd, 0, SEEK_END);
    const off_t from = size > off_t(sizeof tail) ? size - off_t(sizeof tail) : 0;
    const ssize_t got = ::pread(fd, tail, sizeof tail, from);
    ::close(fd);
    if (!flushed) throw fileError(spoolPath, QString::fromLocal8Bit(strerror(flushError)));
    if (got <= 0 || !QByteArray(tail, int(got)).trimmed().endsWith("%%EOF"))
        throw fileError(spoolPath, QStringLiteral("the job was not written completely"));
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
