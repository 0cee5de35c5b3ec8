#include "app/PrintOptions.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "print/clsPrint.h"
#include "variant/VbError.h"

namespace zel {

const QString StandardInput = QStringLiteral("-");

const char* const PrintHelp =
    "Usage: zelprint print [FILE...] [options]\n"
    "\n"
    "Print the files in this process, as one job, each file starting on a new page, and write\n"
    "where the job went (a PDF file, or a CUPS queue and job id). Without FILE, or with -,\n"
    "standard input is read.\n"
    "\n"
    "A file whose name ends in .psj (in any case) is a template: its lines end at CR, LF or\n"
    "CR LF (UTF-8, else Windows-1252) and its placeholders such as #D and #B are expanded. Any\n"
    "other file, and standard input, is plain text printed as written: lines end at LF, CR LF\n"
    "or CR (UTF-8, else Windows-1252), tabs stop every eighth column, a form feed starts a new\n"
    "page, and a line longer than its column wraps between words. --text or --template says\n"
    "it for every file. Empty input prints nothing (exit 1); a file that is not text (NUL\n"
    "bytes, or neither UTF-8 nor Windows-1252) is refused unless -o document-format=text/plain.\n"
    "\n"
    "Options:\n"
    "  --text             every file is plain text\n"
    "  --template         every file is a template\n"
    "  --truncate         cut long text lines at the column's edge (as -o wrap=false)\n"
    "  -d, --printer DEST a CUPS queue or pdf:DIR (default: $ZELPRINT_PRINTER, the printer\n"
    "                     chosen in the window, the CUPS default queue, PDF files); a relative\n"
    "                     DIR is taken from the current folder (over D-Bus a folder must be\n"
    "                     absolute: the server's folder is not its client's)\n"
    "  -n, -# COPIES      the number of copies\n"
    "  -o NAME=VALUE      a CUPS job option (sides, media, print-color-mode, page-ranges,\n"
    "                     number-up, ...), repeatable; a PDF file takes media,\n"
    "                     landscape, orientation-requested and print-color-mode\n"
    "  -P PAGES           the pages to print, as -o page-ranges (1-3,7)\n"
    "  -q PRIORITY        the job's priority, 1 to 100, as -o job-priority\n"
    "  -t, --title TITLE  the job's title (default: the first file's name, or \"standard\n"
    "                     input\"); also the PDF's title\n"
    "  -s                 silent: do not write where the job went\n"
    "  -E                 accepted, as lp takes it (the local connection needs no encryption)\n"
    "  --font-size POINTS the printer font's size\n"
    "  --mode MODE        P printer (default), S the window \"Afdrukken\", PS both: in S and PS\n"
    "                     each page waits for \"Ja\" or \"Afbreken\" (a display is needed)\n"
    "  --default NAME     the default set: Terminal (default) or Terminal7B\n"
    "  --orientation N    1 portrait, 2 landscape\n"
    "  --header TEXT      a header line on every page (#B page, #D date, #T time)\n"
    "  --wait             for a CUPS queue, wait until the job is printed: exit 0 when CUPS\n"
    "                     completed it, 1 at once when it cannot complete now (the queue is\n"
    "                     stopped, the job held, aborted or canceled), the job left as it is\n"
    "  -h, --help         show this help\n"
    "\n"
    "Text options, as lp's (-o NAME=VALUE; for plain text only):\n"
    "  cpi=N              characters an inch (default 10; --font-size sets the size instead)\n"
    "  lpi=N              lines an inch (default 6)\n"
    "  page-left=PT, page-right=PT, page-top=PT, page-bottom=PT\n"
    "                     the margins in points (default 18, 18, 36, 36)\n"
    "  columns=N          N columns on a page (half an inch apart)\n"
    "  prettyprint        a header with the file's name, the date and the page number\n"
    "  wrap=false         cut long lines at the column's edge (also --truncate)\n"
    "\n"
    "Exit status: 0 printed (in S or PS: every page confirmed), 1 the job failed, printed\n"
    "nothing or was stopped with \"Afbreken\" (one line on standard error, no job), 2 bad usage.\n";

bool PrintOptions::isText(const QString& file) const {
    if (forceText) return true;
    if (forceTemplate) return false;
    return !file.endsWith(QLatin1String(".psj"), Qt::CaseInsensitive);
}

namespace {

// A number of the option in [low, high]; false when it is none.
bool numberIn(const QString& text, double low, double high, double& value) {
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && value >= low && value <= high;
}

bool yesNo(const QString& text, bool& value) {
    const QString v = text.toLower();
    if (v.isEmpty() || v == u"true" || v == u"yes" || v == u"on") return value = true, true;
    if (v == u"false" || v == u"no" || v == u"off") return value = false, true;
    return false;
}

// Applies one of lp's text options; an error text, or empty. Other names are not taken.
bool textOption(const QString& name, const QString& value, TextLayout& text, QString& error) {
    double number = 0;
    const auto margin = [&](int side) {
        if (!numberIn(value, 0, 1440, number))
            error = QStringLiteral("-o %1 takes points from 0 to 1440").arg(name);
        text.margins[side] = number;
    };
    if (name == u"cpi" || name == u"lpi") {
        if (!numberIn(value, 0.5, 100, number))
            error = QStringLiteral("-o %1 takes a number from 0.5 to 100").arg(name);
        (name == u"cpi" ? text.cpi : text.lpi) = number;
    } else if (name == u"page-left") {
        margin(0);
    } else if (name == u"page-right") {
        margin(1);
    } else if (name == u"page-top") {
        margin(2);
    } else if (name == u"page-bottom") {
        margin(3);
    } else if (name == u"columns") {
        if (!numberIn(value, 1, 16, number) || number != int(number))
            error = QStringLiteral("-o columns takes a whole number from 1 to 16");
        text.columns = int(number);
    } else if (name == u"prettyprint") {
        if (!yesNo(value, text.prettyprint))
            error = QStringLiteral("-o prettyprint takes true or false");
    } else if (name == u"wrap") {
        if (!yesNo(value, text.wrap)) error = QStringLiteral("-o wrap takes true or false");
    } else {
        return false;
    }
    return true;
}

// The -o options: lp's text options are ours, document-format=text/plain lets binary files
// through, the rest goes to CUPS. An error text, or empty.
QString takeJobOptions(const QStringList& values, PrintOptions& options, QStringList& textNames) {
    try {
        for (const QString& value : values) {
            JobOptions parsed;
            parsed.parse(value);
            for (const auto& [name, setting] : parsed.all()) {
                QString error;
                if (textOption(name, setting, options.text, error)) {
                    if (!error.isEmpty()) return error;
                    textNames << QStringLiteral("-o ") + name;
                } else if (name == u"document-format") {
                    if (setting != u"text/plain")
                        return QStringLiteral("-o document-format takes text/plain");
                    options.anyData = true;
                } else {
                    options.job.set(name, setting);
                }
            }
        }
    } catch (const VbError& error) {
        return QStringLiteral("-o: %1").arg(error.description());
    }
    return {};
}

// pdf:DIR with a relative DIR is the folder below the current one, as a shell user means it; the
// destination is handed on absolute (the server refuses a relative one: its folder is not the
// caller's).
QString absolutePdf(const QString& destination) {
    if (!destination.startsWith(QLatin1String("pdf:"))) return destination;
    const QString directory = destination.mid(4);
    if (directory.isEmpty() || QDir::isAbsolutePath(directory)) return destination;
    return QStringLiteral("pdf:") + QDir::cleanPath(QDir::current().absoluteFilePath(directory));
}

QString copiesOption(const QString& value, PrintOptions& options, const char* name) {
    bool ok = false;
    const int count = value.toInt(&ok);
    if (!ok || count < 1) return QStringLiteral("%1 takes a number of copies from 1").arg(name);
    options.job.set(QStringLiteral("copies"), QString::number(count));
    return {};
}

}  // namespace

QString parsePrintOptions(const QStringList& arguments, PrintOptions& options, bool& help) {
    QCommandLineParser parser;
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption text(QStringLiteral("text"));
    const QCommandLineOption asTemplate(QStringLiteral("template"));
    const QCommandLineOption truncate(QStringLiteral("truncate"));
    const QCommandLineOption wait(QStringLiteral("wait"));
    const QCommandLineOption silent(QStringLiteral("s"));
    const QCommandLineOption encrypt(QStringLiteral("E"));
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
    const QCommandLineOption lprCopies(QStringLiteral("#"), QString(), QStringLiteral("copies"));
    const QCommandLineOption option(QStringLiteral("o"), QString(), QStringLiteral("name=value"));
    const QCommandLineOption pages(QStringLiteral("P"), QString(), QStringLiteral("pages"));
    const QCommandLineOption priority(QStringLiteral("q"), QString(), QStringLiteral("priority"));
    const QCommandLineOption title(QStringList{QStringLiteral("t"), QStringLiteral("title")},
                                   QString(), QStringLiteral("title"));
    const QCommandLineOption fontSize(QStringLiteral("font-size"), QString(),
                                      QStringLiteral("points"));
    parser.addOptions({helpOption, text, asTemplate, truncate, wait, silent, encrypt, mode, printer,
                       defaultName, orientation, header, copies, lprCopies, option, pages, priority,
                       title, fontSize});
    if (!parser.parse(QStringList{QStringLiteral("print")} + arguments)) return parser.errorText();
    help = parser.isSet(helpOption);
    if (help) return {};

    options.files = parser.positionalArguments();
    if (options.files.isEmpty()) options.files << StandardInput;
    if (options.files.count(StandardInput) > 1)
        return QStringLiteral("standard input can be read only once");
    options.forceText = parser.isSet(text);
    options.forceTemplate = parser.isSet(asTemplate);
    if (options.forceText && options.forceTemplate)
        return QStringLiteral("--text and --template exclude each other");
    options.wait = parser.isSet(wait);
    options.silent = parser.isSet(silent);
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
    options.destination = absolutePdf(
        parser.isSet(printer) ? parser.value(printer) : qEnvironmentVariable("ZELPRINT_PRINTER"));

    QStringList textNames;
    QString error = takeJobOptions(parser.values(option), options, textNames);
    if (!error.isEmpty()) return error;
    if (parser.isSet(truncate)) {
        options.text.wrap = false;
        textNames << QStringLiteral("--truncate");
    }
    if (parser.isSet(fontSize)) {
        // The size is the user's: the characters an inch and the line height follow from it.
        if (textNames.contains(QLatin1String("-o cpi")))
            return QStringLiteral("--font-size and -o cpi both set the characters' size");
        options.text.cpi = 0;
        if (!textNames.contains(QLatin1String("-o lpi"))) options.text.lpi = 0;
    }
    const auto isText = [&](const QString& file) { return options.isText(file); };
    const bool anyText = std::any_of(options.files.cbegin(), options.files.cend(), isText);
    if (!textNames.isEmpty() && !anyText)
        return QStringLiteral("%1 is for plain text, and every file is a template")
            .arg(textNames.first());
    if (anyText && !std::all_of(options.files.cbegin(), options.files.cend(), isText))
        return QStringLiteral(
            "one job prints either plain text or templates (.psj): print "
            "them apart, or say --text or --template");

    for (const auto& [opt, name] : {std::pair{&copies, "-n"}, std::pair{&lprCopies, "-#"}}) {
        if (!parser.isSet(*opt)) continue;
        error = copiesOption(parser.value(*opt), options, name);
        if (!error.isEmpty()) return error;
    }
    if (parser.isSet(pages)) options.job.set(QStringLiteral("page-ranges"), parser.value(pages));
    if (parser.isSet(priority)) {
        double value = 0;
        if (!numberIn(parser.value(priority), 1, 100, value) || value != int(value))
            return QStringLiteral("-q takes a priority from 1 to 100");
        options.job.set(QStringLiteral("job-priority"), QString::number(int(value)));
    }
    options.job.title = parser.isSet(title) ? parser.value(title)
                        : options.files.first() == StandardInput
                            ? QStringLiteral("standard input")
                            : QFileInfo(options.files.first()).fileName();
    return {};
}

}  // namespace zel
