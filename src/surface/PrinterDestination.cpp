#include "surface/PrinterDestination.h"

#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QStandardPaths>

#include "general/SettingsStore.h"
#include "surface/CupsQueue.h"
#include "variant/VbError.h"

namespace zel {

namespace {

const QString pdfPrefix = QStringLiteral("pdf:");

// The first word of /etc/papersize that is not a comment, as libpaper reads it.
QPageSize systemPaper() {
    struct Paper {
        const char* name;
        QPageSize::PageSizeId id;
    };
    static constexpr Paper papers[] = {
        {"a3", QPageSize::A3},
        {"a4", QPageSize::A4},
        {"a5", QPageSize::A5},
        {"b5", QPageSize::B5},
        {"letter", QPageSize::Letter},
        {"legal", QPageSize::Legal},
        {"executive", QPageSize::Executive},
    };
    QFile file(QStringLiteral("/etc/papersize"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed().toLower();
            if (line.isEmpty() || line.startsWith(u'#')) continue;
            for (const Paper& paper : papers)
                if (line == QLatin1String(paper.name)) return QPageSize(paper.id);
            break;
        }
    }
    return QPageSize(QPageSize::A4);
}

}  // namespace

PrinterDestination PrinterDestination::parse(const QString& text) {
    if (!text.startsWith(pdfPrefix)) return {text, {}};
    const QString directory = text.mid(pdfPrefix.size());
    return {{}, directory.isEmpty() ? defaultPdfDirectory() : directory};
}

QString PrinterDestination::text() const {
    return isPdf() ? pdfPrefix + pdfDirectory : queue;
}

PrinterDestination currentDestination(const QString& forCaller) {
    if (!forCaller.isEmpty()) return PrinterDestination::parse(forCaller);
    const QString fromEnvironment = qEnvironmentVariable("ZELPRINT_PRINTER");
    if (!fromEnvironment.isEmpty()) return PrinterDestination::parse(fromEnvironment);
    const QString chosen = chosenDestination();
    if (!chosen.isEmpty()) return PrinterDestination::parse(chosen);
    const QString queue = cups::defaultQueue();
    if (!queue.isEmpty()) return {queue, {}};
    return {{}, defaultPdfDirectory()};
}

QString chosenDestination() {
    return GetSetting(AppTitle(), QStringLiteral("Printer"), QStringLiteral("Destination"), {});
}

void saveChosenDestination(const QString& destination) {
    SaveSetting(AppTitle(), QStringLiteral("Printer"), QStringLiteral("Destination"), destination);
}

QString defaultPdfDirectory() {
    // The environment first, as a session may set it; else the desktop's own setting
    // (~/.config/user-dirs.dirs), which Qt reads. A documents folder set to the home folder
    // means the desktop has none.
    QString base = qEnvironmentVariable("XDG_DOCUMENTS_DIR");
    if (!QDir::isAbsolutePath(base))
        base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir::isAbsolutePath(base)) base = QDir::homePath();
    return QDir::cleanPath(base) + QStringLiteral("/ZelPrintDemo");
}

QPageLayout pageLayoutFor(const PrinterDestination& destination) {
    if (destination.isPdf())
        return QPageLayout(systemPaper(), QPageLayout::Portrait, QMarginsF(), QPageLayout::Point);
    if (!cups::queueExists(destination.queue))
        throw VbError(VbErr::PrinterError, QStringLiteral("Printer error: %1: unknown queue")
                                               .arg(shownInError(destination.queue)));
    QPageLayout layout = cups::queueLayout(destination.queue);
    layout.setOrientation(QPageLayout::Portrait);
    return layout;
}

}  // namespace zel
