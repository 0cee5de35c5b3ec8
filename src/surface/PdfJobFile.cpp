#include "surface/PdfJobFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "variant/VbError.h"

namespace zel {

namespace {

VbError fileError(const QString& path, const QString& reason) {
    return VbError(VbErr::PrinterError,
                   QStringLiteral("Printer error: %1: %2").arg(shownInError(path), reason));
}

// The job number a directory entry's name stands for, 0 for any other name: job-NNNN.pdf, four
// digits below 10 000 and as many as needed from there on, without leading zeros.
uint64_t jobNumberOf(const char* name) {
    static constexpr char Prefix[] = "job-";
    static constexpr char Suffix[] = ".pdf";
    const size_t length = std::strlen(name);
    if (length < 12 || std::strncmp(name, Prefix, 4) != 0 ||
        std::strcmp(name + length - 4, Suffix) != 0)
        return 0;
    const char* digits = name + 4;
    const size_t count = length - 8;
    // Past 19 digits the number cannot be the lowest free one of any folder.
    if (count > 19 || (count > 4 && digits[0] == '0')) return 0;
    uint64_t number = 0;
    for (size_t i = 0; i < count; ++i) {
        if (digits[i] < '0' || digits[i] > '9') return 0;
        number = number * 10 + uint64_t(digits[i] - '0');
    }
    return number;
}

// Calls `each` with the name of every entry of the directory, in one pass that reads nothing
// but the directory: a folder of 100 000 jobs takes tens of milliseconds. A folder that cannot
// be listed (write and search permission only) has no names to give.
void forEachName(const QString& directory, const std::function<void(const char*)>& each) {
    DIR* dir = ::opendir(QFile::encodeName(directory).constData());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) each(entry->d_name);
    ::closedir(dir);
}

// The job numbers the directory's entries take, in ascending order.
std::vector<uint64_t> takenJobNumbers(const QString& directory) {
    std::vector<uint64_t> taken;
    forEachName(directory, [&taken](const char* name) {
        if (const uint64_t number = jobNumberOf(name)) taken.push_back(number);
    });
    std::sort(taken.begin(), taken.end());
    return taken;
}

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
    QStringList stale;
    forEachName(directory, [&stale](const char* name) {
        if (std::strncmp(name, ".job-", 5) != 0) return;
        const QRegularExpressionMatch match = ours.match(QFile::decodeName(name));
        if (!match.hasMatch()) return;
        const pid_t pid = static_cast<pid_t>(match.captured(1).toLongLong());
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) stale << match.captured(0);
    });
    for (const QString& name : stale) QFile::remove(directory + u'/' + name);
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
    const std::vector<uint64_t> taken = takenJobNumbers(directory);
    auto next = taken.begin();
    // The lowest number the folder does not hold; a name another process took meanwhile is
    // passed over as the exclusive creation finds it.
    for (uint64_t number = 1;; ++number) {
        while (next != taken.end() && *next < number) ++next;
        if (next != taken.end() && *next == number) continue;
        // The directory is appended, not substituted: a '%1' in its name is no placeholder.
        const QString path =
            directory +
            QStringLiteral("/job-%1.pdf").arg(qulonglong(number), 4, 10, QLatin1Char('0'));
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
}

}  // namespace zel
