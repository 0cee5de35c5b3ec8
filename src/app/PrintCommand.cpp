#include "app/PrintCommand.h"

#include <unistd.h>

#include <QEventLoop>
#include <cstdio>
#include <memory>
#include <optional>

#include "app/GuiModule.h"
#include "app/InputFiles.h"
#include "app/PlainText.h"
#include "app/PrintOptions.h"
#include "app/ProcessSetup.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "surface/CupsJobFollower.h"
#include "surface/CupsQueue.h"
#include "surface/PdfJobFile.h"
#include "surface/PrintJobs.h"
#include "surface/PrinterDestination.h"
#include "surface/PrinterSurface.h"
#include "text/FontAnswers.h"
#include "variant/VbError.h"

namespace zel {

namespace {

int usageError(const QString& message) {
    std::fprintf(stderr, "zelprint: %s (see zelprint print --help)\n", qPrintable(message));
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

void printFiles(clsPrint& print, const PrintOptions& options, const InputFiles& inputs,
                Progress& progress) {
    const std::vector<InputFile>& files = inputs.files();
    if (options.isText(options.files.first())) {
        PlainText text(print, options.text,
                       options.hasHeader ? std::optional(options.header) : std::nullopt,
                       [&] { progress.update(print.CurrentPage); });
        for (size_t i = 0; i < files.size() && !print.AnnulerenPressed; ++i) {
            if (i > 0) text.newPage();
            text.print(files[i]);
        }
        const QString said = text.longLines();
        if (!said.isEmpty()) std::fprintf(stderr, "zelprint: %s\n", qPrintable(said));
        return;
    }
    // The object asks at a page's end only when the page has a header: in the screen modes a
    // template without one gets an empty header line, so that every page is confirmed.
    if (options.hasHeader || options.drawsOnScreen())
        print.AddKopregel(Variant::Integer(1), Variant::Integer(1), Variant(options.header));
    for (size_t i = 0; i < files.size() && !print.AnnulerenPressed; ++i) {
        if (i > 0) print.NieuwBlad(Variant::Long(std::max(print.CurrentLine, 0) + 1));
        Variant name(files[i].path);
        print.PrintFromSjabloon(Variant(QString()), Variant(QString()), name);
        progress.update(print.CurrentPage);
    }
}

// How a report ended: the pages it had, and whether the user stopped it.
struct Outcome {
    int32_t pages = 0;
    bool stopped = false;  // "Afbreken": nothing is printed
};

Outcome printReport(const PrintOptions& options, const InputFiles& inputs,
                    const std::shared_ptr<PrintContext>& context) {
    clsPrint print(context);
    if (!options.defaultName.isEmpty()) print.SetDefault(Variant(options.defaultName));
    print.Reset(Variant(options.mode));
    print.Cls();  // the count starts afresh at page 1
    if (options.orientation) print.SetOrientation(Variant::Integer(int16_t(options.orientation)));
    if (options.fontSize > 0) print.letPrintFontSize(Variant::Single(options.fontSize));
    Outcome outcome;
    try {
        Progress progress;
        if (options.drawsOnScreen()) print.Show();
        printFiles(print, options, inputs, progress);
        // The last page waits for its answer as every page before it did.
        if (options.drawsOnScreen() && !print.AnnulerenPressed && print.CurrentLine >= 0)
            print.NieuwBlad(Variant::Long(print.CurrentLine + 1));
        outcome = {print.CurrentPage, print.AnnulerenPressed};
        // "Afbreken" stops the job: the user saw it and chose not to print it.
        if (outcome.stopped)
            context->printer().KillDoc();
        else
            print.Cls();  // ends the job: the file or the queue has it now
    } catch (...) {
        // A failed report leaves no partial job behind.
        context->printer().KillDoc();
        throw;
    }
    return outcome;
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

// Says where the job went (or that the pages were shown) and, with --wait, follows it; the
// exit code.
int reportJob(const PrintOptions& options, const std::optional<EndedJob>& ended, int32_t pages) {
    if (!ended && options.mode == QLatin1String("S")) {
        if (!options.silent)
            std::printf("%d %s shown in the window \"Afdrukken\"\n", pages,
                        pages == 1 ? "page" : "pages");
        return 0;
    }
    if (!ended) return jobError(QStringLiteral("nothing printed: no line of the input holds text"));
    if (ended->destination.startsWith(QLatin1String("pdf:"))) {
        if (!options.silent) std::printf("%s\n", qPrintable(ended->document));
        return 0;
    }
    if (!options.silent)
        std::printf("%s job %s\n", qPrintable(ended->destination), qPrintable(ended->document));
    std::fflush(stdout);
    return options.wait ? waitForJob(ended->destination, ended->document.toInt()) : 0;
}

// The screen modes show the window, and a template may ask for another file when its own has
// gone: they need the GUI. Plain text to the printer can neither show nor ask, and starts without
// it (no display connection, no font database), in a fraction of the time.
bool needsGui(const PrintOptions& options) {
    return options.drawsOnScreen() || !options.isText(options.files.first());
}

std::unique_ptr<QCoreApplication> makeApplication(const PrintOptions& options, int& argc,
                                                  char** argv) {
    if (needsGui(options)) return guiModule().makeApplication(argc, argv);
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    setUpApplication();
    return app;
}

}  // namespace

int printCommand(const QStringList& arguments, int argc, char** argv) {
    PrintOptions options;
    bool help = false;
    const QString usage = parsePrintOptions(arguments, options, help);
    if (help) {
        std::fputs(PrintHelp, stdout);
        return 0;
    }
    if (!usage.isEmpty()) return usageError(usage);

    // The files must be readable and text before anything is printed: a template that cannot
    // be opened would otherwise ask the user for another one.
    InputFiles inputs;
    const QString problem = inputs.read(options.files, options.anyData);
    if (!problem.isEmpty()) return jobError(problem);
    if (inputs.allEmpty())
        return jobError(inputs.files().size() == 1
                            ? QStringLiteral("no input: %1 is empty").arg(inputs.files()[0].name)
                            : QStringLiteral("no input: every file is empty"));

    // Qt's font database reads the configuration set up here; without it, a job asks fontconfig
    // only what the answers kept from the last run do not hold.
    if (needsGui(options)) {
        setUpFontconfig();
    } else {
        releaseFontconfigAtExit();
        FontAnswers::keep(loadFontconfig);
    }
    const std::unique_ptr<QCoreApplication> app = makeApplication(options, argc, argv);
    // Nobody could answer the window's questions: they would be answered "Ja" unseen.
    if (options.drawsOnScreen() && !guiModule().showsWindows())
        return jobError(QStringLiteral("--mode %1 shows each page in the window \"Afdrukken\" and "
                                       "waits for its answer: it needs a display (DISPLAY), and "
                                       "none could be opened")
                            .arg(options.mode));
    int code = 0;
    try {
        // The window alone prints nothing: no destination is needed.
        if (options.mode != QLatin1String("S")) checkDestination(options);
        const auto context = std::make_shared<PrintContext>();
        // The job's destination, options and title, as a print object's caller gives them.
        const PrintJobs::Scope caller(context->jobs(), 0, options.destination, options.job);
        // Where the job went, as the printer reports every job that reached its destination.
        std::optional<EndedJob> ended;
        QObject::connect(&context->jobs(), &PrintJobs::jobEnded, app.get(),
                         [&ended](int, const EndedJob& job) { ended = job; });
        const Outcome outcome = printReport(options, inputs, context);
        if (outcome.stopped)
            return jobError(
                QStringLiteral("\"Afbreken\" on page %1: nothing printed").arg(outcome.pages));
        code = reportJob(options, ended, outcome.pages);
    } catch (const VbError& error) {
        code = jobError(QString::fromLocal8Bit(error.what()));
    }
    return code;
}

}  // namespace zel
