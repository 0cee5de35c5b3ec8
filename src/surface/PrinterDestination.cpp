#include "surface/PrinterDestination.h"

#include <cups/cups.h>

#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QSizeF>
#include <QStandardPaths>
#include <optional>

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

// A paper by its CUPS name ("iso_a5_148x210mm", "A5", "a5", "Letter"), as libcups knows them.
std::optional<QPageSize> namedPaper(const QString& media) {
    const QByteArray name = media.section(u',', 0, 0).toUtf8();
    pwg_media_t* paper = pwgMediaForPWG(name.constData());
    if (!paper) paper = pwgMediaForLegacy(name.constData());
    if (!paper) paper = pwgMediaForPPD(name.constData());
    if (!paper) return std::nullopt;
    return QPageSize(QSizeF(paper->width / 100.0, paper->length / 100.0), QPageSize::Millimeter);
}

// The destination by the usual choice, before the caller's options.
PrinterDestination usualDestination(const QString& forCaller) {
    if (!forCaller.isEmpty()) return PrinterDestination::parse(forCaller);
    const QString fromEnvironment = qEnvironmentVariable("ZELPRINT_PRINTER");
    if (!fromEnvironment.isEmpty()) return PrinterDestination::parse(fromEnvironment);
    const QString chosen = chosenDestination();
    if (!chosen.isEmpty()) {
        PrinterDestination destination = PrinterDestination::parse(chosen);
        destination.options = chosenOptions();
        return destination;
    }
    const QString queue = cups::defaultQueue();
    if (!queue.isEmpty()) return {queue, {}, {}};
    return {{}, defaultPdfDirectory(), {}};
}

}  // namespace

PrinterDestination PrinterDestination::parse(const QString& text) {
    if (!text.startsWith(pdfPrefix)) return {text, {}, {}};
    const QString directory = text.mid(pdfPrefix.size());
    return {{}, directory.isEmpty() ? defaultPdfDirectory() : directory, {}};
}

QString PrinterDestination::text() const {
    return isPdf() ? pdfPrefix + pdfDirectory : queue;
}

PrinterDestination currentDestination(const QString& forCaller, const JobOptions& callerOptions) {
    PrinterDestination destination = usualDestination(forCaller);
    destination.options = callerOptions.over(destination.options);
    return destination;
}

QString chosenDestination() {
    return GetSetting(AppTitle(), QStringLiteral("Printer"), QStringLiteral("Destination"), {});
}

JobOptions chosenOptions() {
    JobOptions options;
    try {
        options.parse(
            GetSetting(AppTitle(), QStringLiteral("Printer"), QStringLiteral("Options"), {}));
    } catch (const VbError&) {
        // A hand-edited store with a bad name keeps the destination and loses only its options.
        return {};
    }
    return options;
}

void saveChosenDestination(const QString& destination, const JobOptions& options) {
    SaveSetting(AppTitle(), QStringLiteral("Printer"), QStringLiteral("Destination"), destination);
    SaveSetting(AppTitle(), QStringLiteral("Printer"), QStringLiteral("Options"), options.text());
}

QStringList optionsPdfIgnores(const JobOptions& options) {
    QStringList ignored;
    for (const JobOptions::Option& option : options.all())
        if (option.first != QLatin1String("media")) ignored << option.first;
    return ignored;
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
    const QString media = destination.options.value(QStringLiteral("media"));
    if (destination.isPdf()) {
        std::optional<QPageSize> paper = media.isEmpty() ? systemPaper() : namedPaper(media);
        if (!paper)
            throw VbError(VbErr::PrinterError,
                          QStringLiteral("Printer error: media=%1: no paper of that name")
                              .arg(shownInError(media)));
        return QPageLayout(*paper, QPageLayout::Portrait, QMarginsF(), QPageLayout::Point);
    }
    QPageLayout layout = cups::queueLayout(destination.queue, media);
    layout.setOrientation(QPageLayout::Portrait);
    return layout;
}

}  // namespace zel
