#include "app/PrintCommand.h"

#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryFile>
#include <cstdio>
#include <memory>

#include "app/ProcessSetup.h"
#include "app/TextFileLines.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "surface/PdfJobFile.h"
#include "surface/PrintJobs.h"
#include "surface/PrinterDestination.h"
#include "surface/PrinterSurface.h"
#include "variant/VbError.h"

namespace zel {

namespace {

struct PrintOptions {
    QString file;
    bool text = false;
    QString mode = QStringLiteral("P");
    QString defaultName;
    int orientation = 0;  // 0: as the printer has it
    QString header;
    bool hasHeader = false;
};

int usageError(const QString& message) {
    std::fprintf(stderr, "zelprint: %s (see zelprint --help)\n", qPrintable(message));
    return 2;
}

int jobError(const QString& message) {
    std::fprintf(stderr, "zelprint: %s\n", qPrintable(message));
    return 1;
}

// Shows the pages so far on a terminal; a pipe or a log file gets only the result.
class Progress {
public:
    Progress() : shown_(::isatty(STDERR_FILENO) == 1) {}
    ~Progress() {
        if (shown_ && page_ > 0) std::fputc('\n', stderr);
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void update(int32_t page) {
        if (!shown_ || page == page_) return;
        page_ = page;
        std::fprintf(stderr, "\rzelprint: page %d", page);
        std::fflush(stderr);
    }

private:
    bool shown_;
    int32_t page_ = 0;
};

void printText(clsPrint& print, QFile& file) {
    TextFileLines lines(file);
    Progress progress;
    QString line;
    int32_t regel = 0;
    int32_t reading = 1;  // the line being read or printed, for the error
    try {
        while (lines.next(line)) {
            print.AddTekst(Variant::Long(++regel), Variant::Integer(1), Variant(line));
            progress.update(print.CurrentPage);
            reading = regel + 1;
        }
    } catch (const VbError& e) {
        // Which line could not be read or printed (too long, say) is what the user needs.
        throw VbError(
            e.number(),
            QStringLiteral("%1 (%2, line %3)").arg(e.description(), file.fileName()).arg(reading));
    }
    if (file.error() != QFile::NoError)
        throw VbError(VbErr::PathFileAccessError,
                      QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
}

void printReport(const PrintOptions& options, const std::shared_ptr<PrintContext>& context) {
    clsPrint print(context);
    if (!options.defaultName.isEmpty()) print.SetDefault(Variant(options.defaultName));
    print.Reset(Variant(options.mode));
    print.Cls();  // the count starts afresh at page 1
    if (options.orientation) print.SetOrientation(Variant::Integer(int16_t(options.orientation)));
    if (options.hasHeader)
        print.AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant(options.header));
    try {
        if (options.text) {
            QFile file(options.file);
            if (!file.open(QIODevice::ReadOnly))
                throw VbError(VbErr::FileNotFound,
                              QStringLiteral("%1: %2").arg(options.file, file.errorString()));
            printText(print, file);
        } else {
            Variant name(options.file);
            print.PrintFromSjabloon(Variant(QString()), Variant(QString()), name);
        }
        print.Cls();  // ends the job: the file or the queue has it now
    } catch (...) {
        // A failed report leaves no partial job behind.
        context->printer().KillDoc();
        throw;
    }
}

// The file must be readable before anything is printed: a template that cannot be opened
// would otherwise ask the user for another one.
QString unreadable(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}

// A text the printer drops would leave a report that silently printed nothing: the destination
// is tried before the first line, a queue by asking CUPS, a folder by creating a spool file.
void checkDestination() {
    const PrinterDestination destination = currentDestination();
    if (destination.isPdf())
        createSpoolFile(destination.pdfDirectory);
    else
        pageLayoutFor(destination);
}

}  // namespace

int printCommand(const QStringList& arguments, int argc, char** argv) {
    QCommandLineParser parser;
    const QCommandLineOption text(QStringLiteral("text"));
    const QCommandLineOption mode(QStringLiteral("mode"), QString(), QStringLiteral("mode"),
                                  QStringLiteral("P"));
    const QCommandLineOption printer(QStringLiteral("printer"), QString(), QStringLiteral("dest"));
    const QCommandLineOption defaultName(QStringLiteral("default"), QString(),
                                         QStringLiteral("name"));
    const QCommandLineOption orientation(QStringLiteral("orientation"), QString(),
                                         QStringLiteral("1|2"));
    const QCommandLineOption header(QStringLiteral("header"), QString(), QStringLiteral("text"));
    parser.addOptions({text, mode, printer, defaultName, orientation, header});
    if (!parser.parse(QStringList{QStringLiteral("print")} + arguments))
        return usageError(parser.errorText());
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) return usageError(QStringLiteral("print takes one file"));

    PrintOptions options;
    options.file = files.first();
    options.text = parser.isSet(text);
    options.mode = parser.value(mode).toUpper();
    if (options.mode != QLatin1String("P") && options.mode != QLatin1String("S") &&
        options.mode != QLatin1String("PS"))
        return usageError(QStringLiteral("--mode takes P, S or PS"));
    options.defaultName = parser.value(defaultName);
    if (parser.isSet(orientation)) {
        options.orientation = parser.value(orientation).toInt();
        if (options.orientation != 1 && options.orientation != 2)
            return usageError(QStringLiteral("--orientation takes 1 (portrait) or 2 (landscape)"));
    }
    options.hasHeader = parser.isSet(header);
    options.header = parser.value(header);
    if (parser.isSet(printer)) qputenv("ZELPRINT_PRINTER", parser.value(printer).toLocal8Bit());

    const QString problem = unreadable(options.file);
    if (!problem.isEmpty()) return jobError(problem);

    choosePlatform(false);
    QApplication app(argc, argv);
    setUpApplication();
    int code = 0;
    try {
        checkDestination();
        const auto context = std::make_shared<PrintContext>();
        // Where the job went, as the printer reports every job that reached its destination.
        QString ended;
        QObject::connect(
            &context->jobs(), &PrintJobs::jobEnded, &app, [&ended](int, const EndedJob& job) {
                ended = job.destination.startsWith(QLatin1String("pdf:"))
                            ? job.document
                            : QStringLiteral("%1 job %2").arg(job.destination, job.document);
            });
        printReport(options, context);
        if (ended.isEmpty())
            std::puts("nothing printed");
        else
            std::printf("%s\n", qPrintable(ended));
    } catch (const VbError& error) {
        code = jobError(QString::fromLocal8Bit(error.what()));
    }
    return code;
}

}  // namespace zel
