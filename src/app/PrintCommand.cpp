#include "app/PrintCommand.h"

#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>
#include <memory>

#include "app/PlainText.h"
#include "app/ProcessSetup.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "surface/CupsJobFollower.h"
#include "surface/CupsQueue.h"
#include "surface/PdfJobFile.h"
#include "surface/PrintJobs.h"
#include "surface/PrinterDestination.h"
#include "surface/PrinterSurface.h"
#include "variant/VbError.h"

namespace zel {

namespace {

const QString StandardInput = QStringLiteral("-");

const char* const kPrintHelp =
    "Usage: zelprint print [FILE...] [options]\n"
    "\n"
    "Print the files in this process, as one job, each file starting on a new page, and write\n"
    "where the job went (a PDF file, or a CUPS queue and job id). Without FILE, or with -,\n"
    "standard input is read. A FILE is a template (lines end at CR, LF or CR LF; UTF-8, else\n"
    "Windows-1252; placeholders such as #D and #B are expanded) unless --text.\n"
    "\n"
    "Options:\n"
    "  --text             the files are plain text, printed as written (lines end at LF,\n"
    "                     CR LF or CR; a form feed starts a new page; a line longer than the\n"
    "                     page wraps)\n"
    "  --truncate         with --text, cut long lines at the page's edge instead\n"
    "  -d, --printer DEST a CUPS queue or pdf:DIR (default: $ZELPRINT_PRINTER, the printer\n"
    "                     chosen in the window, the CUPS default queue, PDF files)\n"
    "  -n COPIES          the number of copies\n"
    "  -o NAME=VALUE      a CUPS job option (sides, media, print-color-mode, page-ranges,\n"
    "                     number-up, ...), repeatable; a PDF file takes media,\n"
    "                     landscape, orientation-requested and print-color-mode\n"
    "  -t TITLE           the job's title (default: the first file's name, or \"standard\n"
    "                     input\"); also the PDF's title\n"
    "  --font-size POINTS the printer font's size\n"
    "  --mode MODE        P printer (default), S screen, PS both\n"
    "  --default NAME     the default set: Terminal (default) or Terminal7B\n"
    "  --orientation N    1 portrait, 2 landscape\n"
    "  --header TEXT      a header line on every page (#B page, #D date, #T time)\n"
    "  --wait             for a CUPS queue, wait until the job is printed: exit 0 when CUPS\n"
    "                     completed it, 1 at once when it cannot complete now (the queue is\n"
    "                     stopped, the job held, aborted or canceled), the job left as it is\n"
    "  -h, --help         show this help\n"
    "\n"
    "Exit status: 0 printed, 1 the job failed (one line on standard error), 2 bad usage.\n";

struct PrintOptions {
    QStringList files;  // "-" for standard input
    bool text = false;
    bool truncate = false;
    bool wait = false;
    QString mode = QStringLiteral("P");
    QString defaultName;
    int orientation = 0;  // 0: as the printer has it
    QString header;
    bool hasHeader = false;
    float fontSize = 0;   // 0: as the default set has it
    QString destination;  // empty: the usual choice
    JobOptions job;
};

int usageError(const QString& message) {
    std::fprintf(stderr, "zelprint: %s (see zelprint print --help)\n", qPrintable(message));
    return 2;
}

int jobError(const QString& message) {
    std::fprintf(stderr, "zelprint: %s\n", qPrintable(message));
    return 1;
}

QString shownName(const QString& file) {
    return file == StandardInput ? QStringLiteral("standard input") : file;
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

// A file to read, standard input included; 53 naming it when it cannot be opened.
std::unique_ptr<QFile> openInput(const QString& path) {
    auto file = std::make_unique<QFile>();
    const bool opened = path == StandardInput
                            ? file->open(stdin, QIODevice::ReadOnly)
                            : (file->setFileName(path), file->open(QIODevice::ReadOnly));
    if (!opened)
        throw VbError(VbErr::FileNotFound,
                      QStringLiteral("%1: %2").arg(shownName(path), file->errorString()));
    return file;
}

// A template on standard input is kept in a file of its own, since templates are read by name.
std::unique_ptr<QTemporaryFile> templateFromInput() {
    auto copy = std::make_unique<QTemporaryFile>();
    if (!copy->open())
        throw VbError(VbErr::PathFileAccessError,
                      QStringLiteral("%1: %2").arg(copy->fileName(), copy->errorString()));
    QFile input;
    input.open(stdin, QIODevice::ReadOnly);
    while (!input.atEnd())
        if (copy->write(input.read(1 << 16)) < 0)
            throw VbError(VbErr::PathFileAccessError,
                          QStringLiteral("%1: %2").arg(copy->fileName(), copy->errorString()));
    copy->flush();
    return copy;
}

void printFiles(clsPrint& print, int32_t columns, const PrintOptions& options, Progress& progress) {
    if (options.text) {
        PlainText text(print, columns, options.truncate,
                       [&] { progress.update(print.CurrentPage); });
        for (qsizetype i = 0; i < options.files.size(); ++i) {
            if (i > 0) text.newPage();
            const std::unique_ptr<QFile> file = openInput(options.files[i]);
            text.print(*file, shownName(options.files[i]));
        }
        const QString said = text.longLines();
        if (!said.isEmpty()) std::fprintf(stderr, "zelprint: %s\n", qPrintable(said));
        return;
    }
    for (qsizetype i = 0; i < options.files.size(); ++i) {
        if (i > 0) print.NieuwBlad(Variant::Long(std::max(print.CurrentLine, 0) + 1));
        std::unique_ptr<QTemporaryFile> input;
        if (options.files[i] == StandardInput) input = templateFromInput();
        Variant name(input ? input->fileName() : options.files[i]);
        print.PrintFromSjabloon(Variant(QString()), Variant(QString()), name);
        progress.update(print.CurrentPage);
    }
}

void printReport(const PrintOptions& options, const std::shared_ptr<PrintContext>& context) {
    clsPrint print(context);
    if (!options.defaultName.isEmpty()) print.SetDefault(Variant(options.defaultName));
    print.Reset(Variant(options.mode));
    print.Cls();  // the count starts afresh at page 1
    if (options.orientation) print.SetOrientation(Variant::Integer(int16_t(options.orientation)));
    if (options.fontSize > 0) print.letPrintFontSize(Variant::Single(options.fontSize));
    if (options.hasHeader)
        print.AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant(options.header));
    try {
        Progress progress;
        printFiles(print, context->geometry().PositionsPerLine, options, progress);
        print.Cls();  // ends the job: the file or the queue has it now
    } catch (...) {
        // A failed report leaves no partial job behind.
        context->printer().KillDoc();
        throw;
    }
}

// The files must be readable before anything is printed: a template that cannot be opened
// would otherwise ask the user for another one.
QString unreadable(const QStringList& files) {
    for (const QString& path : files) {
        if (path == StandardInput) continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("%1: %2").arg(path, file.errorString());
    }
    return {};
}

// A text the printer drops would leave a report that silently printed nothing: the destination
// and its options are tried before the first line, a queue by asking CUPS, a folder by creating
// a spool file.
void checkDestination(const PrintOptions& options) {
    const PrinterDestination destination = currentDestination(options.destination, options.job);
    pageLayoutFor(destination);
    if (destination.isPdf())
        createSpoolFile(destination.pdfDirectory);
    else
        cups::checkOptions(destination.queue, destination.options);
}

// Waits until CUPS tells how the job ended; 0 when it completed.
int waitForJob(const QString& queue, int job) {
    CupsJobFollower follower;
    QEventLoop loop;
    int code = 1;
    QObject::connect(
        &follower, &CupsJobFollower::finished, &loop,
        [&](int, const QString&, int, const QString& state, const QString& reason) {
            if (state == QLatin1String("completed"))
                code = 0;
            else
                jobError(
                    QStringLiteral("%1 job %2: %3%4")
                        .arg(queue)
                        .arg(job)
                        .arg(state, reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
            loop.quit();
        });
    follower.follow(0, queue, job);
    loop.exec();
    return code;
}

// The command line as options; an error text for a usage error.
QString parse(const QStringList& arguments, PrintOptions& options, bool& help) {
    QCommandLineParser parser;
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption text(QStringLiteral("text"));
    const QCommandLineOption truncate(QStringLiteral("truncate"));
    const QCommandLineOption wait(QStringLiteral("wait"));
    const QCommandLineOption mode(QStringLiteral("mode"), QString(), QStringLiteral("mode"),
                                  QStringLiteral("P"));
    const QCommandLineOption printer(QStringList{QStringLiteral("d"), QStringLiteral("printer")},
                                     QString(), QStringLiteral("dest"));
    const QCommandLineOption defaultName(QStringLiteral("default"), QString(),
                                         QStringLiteral("name"));
    const QCommandLineOption orientation(QStringLiteral("orientation"), QString(),
                                         QStringLiteral("1|2"));
    const QCommandLineOption header(QStringLiteral("header"), QString(), QStringLiteral("text"));
    const QCommandLineOption copies(QStringLiteral("n"), QString(), QStringLiteral("copies"));
    const QCommandLineOption option(QStringLiteral("o"), QString(), QStringLiteral("name=value"));
    const QCommandLineOption title(QStringLiteral("t"), QString(), QStringLiteral("title"));
    const QCommandLineOption fontSize(QStringLiteral("font-size"), QString(),
                                      QStringLiteral("points"));
    parser.addOptions({helpOption, text, truncate, wait, mode, printer, defaultName, orientation,
                       header, copies, option, title, fontSize});
    if (!parser.parse(QStringList{QStringLiteral("print")} + arguments)) return parser.errorText();
    help = parser.isSet(helpOption);
    if (help) return {};

    options.files = parser.positionalArguments();
    if (options.files.isEmpty()) options.files << StandardInput;
    if (options.files.count(StandardInput) > 1)
        return QStringLiteral("standard input can be read only once");
    options.text = parser.isSet(text);
    options.truncate = parser.isSet(truncate);
    if (options.truncate && !options.text) return QStringLiteral("--truncate is for --text");
    options.wait = parser.isSet(wait);
    options.mode = parser.value(mode).toUpper();
    if (options.mode != QLatin1String("P") && options.mode != QLatin1String("S") &&
        options.mode != QLatin1String("PS"))
        return QStringLiteral("--mode takes P, S or PS");
    options.defaultName = parser.value(defaultName);
    // SetDefault passes over a name it does not know: the user would get another layout unaware.
    if (parser.isSet(defaultName) &&
        !clsPrint::DefaultNames().contains(options.defaultName.toUpper()))
        return QStringLiteral("--default takes %1 (in any case)")
            .arg(clsPrint::DefaultNames().join(QStringLiteral(", ")));
    if (parser.isSet(orientation)) {
        options.orientation = parser.value(orientation).toInt();
        if (options.orientation != 1 && options.orientation != 2)
            return QStringLiteral("--orientation takes 1 (portrait) or 2 (landscape)");
    }
    options.hasHeader = parser.isSet(header);
    options.header = parser.value(header);
    if (parser.isSet(fontSize)) {
        bool ok = false;
        options.fontSize = parser.value(fontSize).toFloat(&ok);
        if (!ok || !(options.fontSize > 0))
            return QStringLiteral("--font-size takes points above 0");
    }
    options.destination = parser.value(printer);
    try {
        for (const QString& value : parser.values(option)) options.job.parse(value);
    } catch (const VbError& error) {
        return QStringLiteral("-o: %1").arg(error.description());
    }
    if (parser.isSet(copies)) {
        bool ok = false;
        const int count = parser.value(copies).toInt(&ok);
        if (!ok || count < 1) return QStringLiteral("-n takes a number of copies from 1");
        options.job.set(QStringLiteral("copies"), QString::number(count));
    }
    options.job.title = parser.isSet(title) ? parser.value(title)
                        : options.files.first() == StandardInput
                            ? QStringLiteral("standard input")
                            : QFileInfo(options.files.first()).fileName();
    return {};
}

}  // namespace

int printCommand(const QStringList& arguments, int argc, char** argv) {
    PrintOptions options;
    bool help = false;
    const QString usage = parse(arguments, options, help);
    if (help) {
        std::fputs(kPrintHelp, stdout);
        return 0;
    }
    if (!usage.isEmpty()) return usageError(usage);

    const QString problem = unreadable(options.files);
    if (!problem.isEmpty()) return jobError(problem);

    choosePlatform(false);
    QApplication app(argc, argv);
    setUpApplication();
    int code = 0;
    try {
        checkDestination(options);
        const auto context = std::make_shared<PrintContext>();
        // The job's destination, options and title, as a print object's caller gives them.
        const PrintJobs::Scope caller(context->jobs(), 0, options.destination, options.job);
        // Where the job went, as the printer reports every job that reached its destination.
        std::optional<EndedJob> ended;
        QObject::connect(&context->jobs(), &PrintJobs::jobEnded, &app,
                         [&ended](int, const EndedJob& job) { ended = job; });
        printReport(options, context);
        if (!ended) {
            std::puts("nothing printed");
        } else if (ended->destination.startsWith(QLatin1String("pdf:"))) {
            std::printf("%s\n", qPrintable(ended->document));
        } else {
            std::printf("%s job %s\n", qPrintable(ended->destination), qPrintable(ended->document));
            std::fflush(stdout);
            if (options.wait) code = waitForJob(ended->destination, ended->document.toInt());
        }
    } catch (const VbError& error) {
        code = jobError(QString::fromLocal8Bit(error.what()));
    }
    return code;
}

}  // namespace zel
