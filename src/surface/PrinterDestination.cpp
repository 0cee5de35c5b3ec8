#include "surface/PrinterDestination.h"

#include <QDir>
#include <QStandardPaths>

#include "general/SettingsStore.h"
#include "surface/CupsQueue.h"
#include "surface/PaperNames.h"
#include "variant/VbError.h"

namespace zel {

namespace {

const QString pdfPrefix = QStringLiteral("pdf:");

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

QString destinationChoice(const QString& forCaller, const JobOptions& callerOptions) {
    QStringList choice{callerOptions.text(), callerOptions.title, forCaller};
    // The user's stored choice is read only where it counts: each reading opens the store.
    if (forCaller.isEmpty()) {
        choice.append(qEnvironmentVariable("ZELPRINT_PRINTER"));
        if (choice.last().isEmpty()) choice << chosenDestination() << chosenOptions().text();
    }
    return choice.join(u'\n');
}

bool landscapeAsked(const JobOptions& options) {
    const QString requested = options.value(QStringLiteral("orientation-requested"));
    if (!requested.isEmpty()) return requested == u'4' || requested == u'5';
    return options.contains(QStringLiteral("landscape")) &&
           options.value(QStringLiteral("landscape")) != QLatin1String("false");
}

bool monochromeAsked(const JobOptions& options) {
    const QString mode = options.value(QStringLiteral("print-color-mode"));
    return mode.contains(QLatin1String("monochrome")) || mode.contains(QLatin1String("bi-level"));
}

QStringList optionsPdfIgnores(const JobOptions& options) {
    // What shapes the page: the paper, its orientation and its colours.
    static const QStringList carried = {QStringLiteral("media"), QStringLiteral("landscape"),
                                        QStringLiteral("orientation-requested"),
                                        QStringLiteral("print-color-mode")};
    QStringList ignored;
    for (const JobOptions::Option& option : options.all())
        if (!carried.contains(option.first)) ignored << option.first;
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

PageLayout pageLayoutFor(const PrinterDestination& destination) {
    const QString media = destination.options.value(QStringLiteral("media"));
    if (destination.isPdf()) {
        const pwg_media_t* named = media.isEmpty() ? nullptr : paperNamed(media);
        if (!media.isEmpty() && !named)
            throw VbError(VbErr::PrinterError,
                          QStringLiteral("Printer error: media=%1: no paper of that name")
                              .arg(shownInError(media)));
        const pwg_media_t& paper = named ? *named : systemPaper();
        return PageLayout(paper.width, paper.length);
    }
    return cups::queueLayout(destination.queue, media);
}

}  // namespace zel
