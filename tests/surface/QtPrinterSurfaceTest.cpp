#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>

#include "PrinterTestEnv.h"
#include "support/ErrorOf.h"
#include "support/PdfProbe.h"
#include "surface/PdfJobFile.h"
#include "surface/PrinterDestination.h"
#include "surface/QtPrinterSurface.h"
#include "variant/VbError.h"

using namespace zel;

namespace {

constexpr int FilledBox = LineStart | LineColour | LineFilledBox;
const QStringList noFiles;

using zel::testing::errorOf;

void printAt(PrinterSurface& printer, float x, float y, const QString& text) {
    printer.setCurrentX(x);
    printer.setCurrentY(y);
    printer.Print(text, true);
}

}  // namespace

TEST(QtPrinterSurface, PagesHoldTheirTextsAtTheirTwips) {
    struct Placed {
        int page;
        float x;
        float y;
        const char* text;
    };
    const Placed placed[] = {
        {1, 0, 0, "TopLeft"},
        {1, 1440, 2880, "OneInch"},
        {1, 5000, 15000, "Low"},
        {2, 800, 800, "Second"},
        // Characters the PDF string syntax must escape, and some beyond ASCII.
        {2, 800, 3000, "(Haken)\\Grüße€"},
        {3, 11000, 400, "Far"},
        {3, 2400, 7200, "Middle"},
    };
    PrinterTestEnv env;
    TestPrinter printer;
    printer.setFontName(QStringLiteral("Courier New"));
    printer.setFontSize(10);
    const float cellWidth = printer.TextWidth(QStringLiteral("A"));
    const float cellHeight = printer.TextHeight(QStringLiteral("A"));
    int page = 1;
    for (const Placed& p : placed) {
        for (; page < p.page; ++page) printer.NewPage();
        printAt(printer, p.x, p.y, QString::fromUtf8(p.text));
    }
    printer.EndDoc();

    ASSERT_EQ(env.files(), QStringList{QStringLiteral("job-0001.pdf")});
    const QString pdf = env.path(QStringLiteral("job-0001.pdf"));
    EXPECT_EQ(pdfPageCount(pdf), 3);
    const QVector<PdfWord> words = pdfWords(pdf);
    for (const Placed& p : placed) {
        SCOPED_TRACE(p.text);
        const auto word = std::find_if(words.begin(), words.end(), [&](const PdfWord& w) {
            return w.text == QString::fromUtf8(p.text);
        });
        ASSERT_NE(word, words.end());
        EXPECT_EQ(word->page, p.page);
        EXPECT_NEAR(word->left * 20, p.x, cellWidth / 2);
        EXPECT_NEAR(word->top * 20, p.y, cellHeight / 2);
    }
    // The font travels with the file, as a subset, with a map back to the characters.
    const QStringList rows = pdfFonts(pdf);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0].contains(QLatin1String("yes yes yes"))) << qPrintable(rows[0]);
}

TEST(QtPrinterSurface, JobsWithoutOutputOrDiscardedLeaveNoFile) {
    const std::vector<std::pair<const char*, std::function<void(QtPrinterSurface&)>>> cases = {
        {"nothing drawn",
         [](QtPrinterSurface& p) {
             p.setForeColor(255);
             p.setCurrentY(3000);
             p.NewPage();
             p.Print(QString(), true);
             p.EndDoc();
         }},
        {"killed",
         [](QtPrinterSurface& p) {
             p.Print(QStringLiteral("gone"), true);
             p.NewPage();
             p.Line(FilledBox, 0, 0, 500, 500, 0);
             p.KillDoc();
         }},
        {"killed, then ended",
         [](QtPrinterSurface& p) {
             p.Print(QStringLiteral("gone"), true);
             p.KillDoc();
             p.EndDoc();
         }},
    };
    for (const auto& [name, job] : cases) {
        SCOPED_TRACE(name);
        PrinterTestEnv env;
        TestPrinter printer;
        job(printer);
        EXPECT_EQ(env.files(), noFiles);
    }
}

TEST(QtPrinterSurface, OnlyWholeJobsArePublishedAndDeadJobsSpoolsGo) {
    PrinterTestEnv env;
    ASSERT_TRUE(QDir().mkpath(env.outDir()));
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(env.path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    // A spool cut short (the disk filled up) never becomes a job.
    write(QStringLiteral("cut.pdf"), "%PDF-1.4\n1 0 obj\n<< /Type /Catalog");
    EXPECT_EQ(errorOf([&] { requireCompleteSpool(env.path(QStringLiteral("cut.pdf"))); }), 482);
    QFile::remove(env.path(QStringLiteral("cut.pdf")));
    // A killed server's spool is removed by the next job in the folder; a running one's stays.
    const QString own =
        QStringLiteral(".job-%1-abcdef.part").arg(QCoreApplication::applicationPid());
    write(own, "x");
    write(QStringLiteral(".job-2147483646-abcdef.part"), "x");
    TestPrinter printer;
    printer.Print(QStringLiteral("heel"), true);
    printer.EndDoc();
    EXPECT_EQ(env.files(), QStringList({own, QStringLiteral("job-0001.pdf")}));
}

TEST(QtPrinterSurface, JobsTakeTheLowestFreeNumberAndNeverOverwrite) {
    struct Case {
        QStringList existing;
        QStringList expected;
    };
    const Case cases[] = {
        {{}, {"job-0001.pdf", "job-0002.pdf"}},
        {{"job-0001.pdf"}, {"job-0001.pdf", "job-0002.pdf", "job-0003.pdf"}},
        {{"job-0002.pdf"}, {"job-0001.pdf", "job-0002.pdf", "job-0003.pdf"}},
    };
    ::umask(022);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.existing.join(u' ').toStdString());
        PrinterTestEnv env;
        QDir().mkpath(env.outDir());
        for (const QString& name : c.existing) {
            QFile file(env.path(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("earlier job");
        }
        TestPrinter printer;
        for (const char* text : {"first", "second"}) {
            printer.Print(QString::fromUtf8(text), true);
            printer.EndDoc();
        }
        EXPECT_EQ(env.files(), c.expected);
        // A finished job is readable by others like any file the user makes.
        EXPECT_TRUE(QFileInfo(env.path("job-0002.pdf")).permissions() & QFileDevice::ReadOther);
        for (const QString& name : c.existing) {
            QFile file(env.path(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), QByteArray("earlier job"));
        }
    }
}

TEST(QtPrinterSurface, JobNumbersGoOnPastFourDigits) {
    PrinterTestEnv env;
    // Ten thousand files, in memory where the machine has a memory file system: on a loaded
    // disk each takes milliseconds to make.
    const QTemporaryDir shm(QStringLiteral("/dev/shm/zelprint-test-XXXXXX"));
    const QString folder = shm.isValid() ? shm.path() : env.outDir();
    env.setDestination("pdf:" + folder);
    QDir().mkpath(folder);
    const auto job = [&folder](int n) {
        return QStringLiteral("%1/job-%2.pdf").arg(folder).arg(n, 4, 10, QLatin1Char('0'));
    };
    for (int n = 1; n <= 9999; ++n) {
        QFile file(job(n));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QFile::remove(job(42));
    TestPrinter printer;
    for (const char* text : {"42", "10000", "10001"}) {
        printer.Print(QString::fromUtf8(text), true);
        printer.EndDoc();
    }
    // The lowest free number first, then as many digits as the number needs.
    for (const int n : {42, 10000, 10001}) EXPECT_GT(QFileInfo(job(n)).size(), 0) << n;
}

// Directory names are taken as they are, whatever characters they hold.
TEST(QtPrinterSurface, JobLandsInADirectoryWhoseNameHoldsPercentSigns) {
    PrinterTestEnv env;
    const QString directory = env.outDir() + QStringLiteral("/100%1 %2");
    env.setDestination(QStringLiteral("pdf:") + directory);
    TestPrinter printer;
    printer.Print(QStringLiteral("percent"), true);
    printer.EndDoc();
    EXPECT_EQ(QDir(directory).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("job-0001.pdf")});
}

TEST(QtPrinterSurface, SheetsWithoutOutputAreNoPages) {
    PrinterTestEnv env;
    TestPrinter printer;
    printer.NewPage();  // before the job: no sheet yet
    printer.Print(QStringLiteral("one"), true);
    printer.NewPage();
    printer.NewPage();  // twice: still one new sheet
    printer.Print(QStringLiteral("two"), true);
    printer.NewPage();  // trailing
    printer.EndDoc();
    EXPECT_EQ(pdfPageCount(env.path(QStringLiteral("job-0001.pdf"))), 2);
}

TEST(QtPrinterSurface, OrientationChangesOnlyBetweenSheets) {
    PrinterTestEnv env;
    TestPrinter printer;
    EXPECT_EQ(errorOf([&] { printer.setOrientation(3); }), 380);
    EXPECT_GT(printer.ScaleHeight(), printer.ScaleWidth());
    printer.Print(QStringLiteral("portrait"), true);
    EXPECT_EQ(errorOf([&] { printer.setOrientation(2); }), 396);
    EXPECT_EQ(printer.Orientation(), 1);
    EXPECT_NO_THROW(printer.setOrientation(1));  // the orientation in force is no change
    printer.NewPage();
    printer.setOrientation(2);
    EXPECT_GT(printer.ScaleWidth(), printer.ScaleHeight());
    printer.Line(FilledBox, 0, 0, printer.ScaleWidth(), 1000, 0);
    printer.EndDoc();
    const QString pdf = env.path(QStringLiteral("job-0001.pdf"));
    const QSizeF portrait = pdfPageSize(pdf, 1);
    const QSizeF landscape = pdfPageSize(pdf, 2);
    EXPECT_GT(portrait.height(), portrait.width());
    EXPECT_EQ(landscape, portrait.transposed());
    EXPECT_NEAR(printer.ScaleWidth(), landscape.width() * 20, 20);
}

// The area is the sheet the job's options ask for, its paper named in any case CUPS takes and
// turned as asked, before the job and during it; the PDF page is that sheet.
TEST(QtPrinterSurface, AreaIsTheSheetTheOptionsAskFor) {
    PrinterTestEnv env;
    struct Case {
        const char* options;
        double width, height;  // points
    };
    const Case cases[] = {
        {"media=a5", 419.5, 595.3},
        {"media=letter", 612, 792},
        {"media=Legal", 612, 1008},
        {"media=A3 landscape", 1190.6, 841.9},
        {"media=envdl orientation-requested=4", 623.6, 311.8},
        {"media=iso_a5_148x210mm orientation-requested=3", 419.5, 595.3},
    };
    int job = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        JobOptions options;
        options.parse(QString::fromLatin1(c.options));
        TestPrinter printer;
        const PrintJobs::Scope caller(printer, 1, QString(), options);
        for (int during = 0; during < 2; ++during) {
            EXPECT_NEAR(printer.ScaleWidth(), c.width * 20, 20);
            EXPECT_NEAR(printer.ScaleHeight(), c.height * 20, 20);
            EXPECT_EQ(printer.Orientation(), c.width > c.height ? 2 : 1);
            printer.Print(QStringLiteral("x"), true);
        }
        printer.EndDoc();
        const QSizeF page = pdfPageSize(
            env.path(QStringLiteral("job-%1.pdf").arg(++job, 4, 10, QLatin1Char('0'))), 1);
        EXPECT_NEAR(page.width(), c.width, 1);
        EXPECT_NEAR(page.height(), c.height, 1);
    }
}

TEST(QtPrinterSurface, SheetIsWrittenOnOnlyByDrawing) {
    PrinterTestEnv env;
    TestPrinter printer;
    const std::vector<std::tuple<const char*, std::function<void()>, bool>> steps = {
        {"position", [&] { printer.setCurrentY(4000); }, false},
        {"empty text", [&] { printer.Print(QString(), true); }, false},
        {"settings",
         [&] {
             printer.setFillColor(255);
             printer.setDrawMode(11);
         },
         false},
        {"background", [&] { printer.PaintBackground(255); }, false},
        {"filled box", [&] { printer.Line(FilledBox, 0, 0, 100, 100, 0); }, true},
        {"position back",
         [&] {
             printer.setCurrentX(0);
             printer.setCurrentY(0);
         },
         true},
        {"new page", [&] { printer.NewPage(); }, false},
        {"text", [&] { printer.Print(QStringLiteral("x"), false); }, true},
        {"end", [&] { printer.EndDoc(); }, false},
    };
    for (const auto& [name, step, written] : steps) {
        SCOPED_TRACE(name);
        step();
        EXPECT_EQ(printer.SheetWrittenOn(), written);
    }
}

TEST(QtPrinterSurface, PageAndJobEndsReturnToTheOrigin) {
    PrinterTestEnv env;
    TestPrinter printer;
    for (const auto& end : std::vector<std::function<void()>>{
             [&] { printer.NewPage(); }, [&] { printer.EndDoc(); }, [&] { printer.KillDoc(); }}) {
        printer.Line(LineStart, 10, 10, 700, 900, 0);
        EXPECT_FLOAT_EQ(printer.CurrentX(), 700);
        EXPECT_FLOAT_EQ(printer.CurrentY(), 900);
        end();
        EXPECT_FLOAT_EQ(printer.CurrentX(), 0);
        EXPECT_FLOAT_EQ(printer.CurrentY(), 0);
    }
}

TEST(QtPrinterSurface, UnknownQueueFailsWhenTheJobStarts) {
    PrinterTestEnv env;
    env.setDestination(QStringLiteral("noqueue"));
    TestPrinter printer;
    EXPECT_GT(printer.ScaleWidth(), 0);  // the area is known before a job
    EXPECT_EQ(errorOf([&] { printer.Print(QStringLiteral("lost"), true); }), 482);
    EXPECT_FALSE(printer.SheetWrittenOn());
    EXPECT_TRUE(printer.JobRefused());
    // The job's end reports the lost output, once.
    EXPECT_EQ(errorOf([&] { printer.EndDoc(); }), 482);
    EXPECT_FALSE(printer.JobRefused());
    EXPECT_EQ(errorOf([&] { printer.EndDoc(); }), 0);
    // The error names a queue of any length (a damaged settings file) in a readable line.
    env.setDestination(QString(100000, u'q') + QChar(0x1b));
    try {
        printer.Print(QStringLiteral("lost"), true);
        ADD_FAILURE() << "a queue nobody knows took the job";
    } catch (const VbError& error) {
        EXPECT_LT(error.description().size(), 200);
        EXPECT_TRUE(error.description().endsWith(QStringLiteral("qqq?: unknown queue")));
    }
    printer.KillDoc();
    env.setDestination(QStringLiteral("pdf:") + env.outDir());
    printer.Print(QStringLiteral("kept"), true);
    printer.EndDoc();
    EXPECT_EQ(env.files(), QStringList{QStringLiteral("job-0001.pdf")});
}

TEST(QtPrinterSurface, DestinationChosenByTheUserAppliesWithoutEnvironment) {
    PrinterTestEnv env;
    const QString chosen = env.outDir() + QStringLiteral("/chosen");
    saveChosenDestination(QStringLiteral("pdf:") + chosen);
    EXPECT_EQ(chosenDestination(), QStringLiteral("pdf:") + chosen);
    TestPrinter printer;
    printer.Print(QStringLiteral("environment first"), true);
    printer.EndDoc();
    env.setDestination(QString());
    printer.Print(QStringLiteral("then the choice"), true);
    printer.EndDoc();
    EXPECT_EQ(env.files(), QStringList{QStringLiteral("job-0001.pdf")});
    EXPECT_TRUE(QFile::exists(chosen + QStringLiteral("/job-0001.pdf")));
}

// The dialog's options are stored beside its destination in lp's syntax: they come back as they
// were (quotes, backslashes, empty values), set the paper of the next job and its title.
TEST(QtPrinterSurface, OptionsChosenWithTheDestinationComeBackAndApply) {
    PrinterTestEnv env;
    JobOptions options;
    options.set(QStringLiteral("media"), QStringLiteral("iso_a5_148x210mm"));
    options.set(QStringLiteral("job-billing"), QStringLiteral("afdeling \"Noord\" \\ 2"));
    options.set(QStringLiteral("job-sheets"), QString());
    saveChosenDestination(QStringLiteral("pdf:") + env.outDir(), options);
    env.setDestination(QString());
    const auto byName = [](const JobOptions& o) {
        return std::map<QString, QString>(o.all().begin(), o.all().end());
    };
    EXPECT_EQ(byName(chosenOptions()), byName(options)) << chosenOptions().text().toStdString();

    TestPrinter printer;
    printer.Print(QStringLiteral("op A5"), true);
    printer.EndDoc();
    ASSERT_EQ(env.files(), QStringList{QStringLiteral("job-0001.pdf")});
    const QSizeF page = pdfPageSize(env.outDir() + QStringLiteral("/job-0001.pdf"), 1);
    EXPECT_NEAR(page.width(), 419.5, 1);
    EXPECT_NEAR(page.height(), 595.3, 1);
}

TEST(QtPrinterSurface, DefaultFolderIsInTheUsersDocuments) {
    PrinterTestEnv env;
    const QByteArray saved = qgetenv("XDG_DOCUMENTS_DIR");
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    ASSERT_TRUE(QDir().mkpath(config));
    const auto desktopSays = [&](const char* line) {
        QFile dirs(config + QStringLiteral("/user-dirs.dirs"));
        ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write(line);
    };
    qunsetenv("XDG_DOCUMENTS_DIR");
    desktopSays("XDG_DOCUMENTS_DIR=\"$HOME/Papieren\"\n");
    EXPECT_EQ(defaultPdfDirectory(), QDir::homePath() + QStringLiteral("/Papieren/ZelPrintDemo"));
    desktopSays("XDG_DOCUMENTS_DIR=\"$HOME/\"\n");  // no documents folder of its own
    EXPECT_EQ(defaultPdfDirectory(), QDir::homePath() + QStringLiteral("/ZelPrintDemo"));
    qputenv("XDG_DOCUMENTS_DIR", "/srv/stukken");
    EXPECT_EQ(defaultPdfDirectory(), QStringLiteral("/srv/stukken/ZelPrintDemo"));
    qputenv("XDG_DOCUMENTS_DIR", saved);
}

TEST(QtPrinterSurface, DrawWidthCountsPixelsOf600DpiOnEveryPage) {
    PrinterTestEnv env;
    TestPrinter printer;
    EXPECT_EQ(errorOf([&] { printer.setDrawWidth(0); }), 380);
    EXPECT_EQ(errorOf([&] { printer.setColorMode(3); }), 380);
    printer.setColorMode(1);
    // A black hairline first on each sheet (the painter's own starting pen), then a thick rule.
    for (int sheet = 0; sheet < 2; ++sheet) {
        printer.setDrawWidth(1);
        printer.Line(LineStart, 0, 1440, 2880, 1440, 0);
        printer.setDrawWidth(30);
        printer.Line(LineStart, 0, 2880, 2880, 2880, 0);
        printer.NewPage();
    }
    printer.EndDoc();
    const QString pdf = env.path(QStringLiteral("job-0001.pdf"));
    ASSERT_TRUE(QFile::exists(pdf));
    // Dark pixels down one column around a line at `inches` from the top, rendered at `dpi`.
    const auto thickness = [&](int page, int dpi, double inches) {
        const int at = int(inches * dpi);
        const QImage strip = pdfPageImage(pdf, page, dpi, QRect(dpi / 2, at - 40, 1, 80));
        int dark = 0;
        for (int y = 0; y < strip.height(); ++y) dark += qGray(strip.pixel(0, y)) < 128;
        return dark;
    };
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE(page);
        // 1 pixel of 600 dpi is 4 pixels at 2400 dpi; 30 are 30 at 600 dpi.
        EXPECT_NEAR(thickness(page, 2400, 1), 4, 1);
        EXPECT_NEAR(thickness(page, 600, 2), 30, 2);
    }
}

// The lines users outside Western Europe print: the text layer gives back every script that an
// installed font has exactly as printed, every font is an embedded subset, and a character no
// font has draws its box and gives back nothing.
TEST(QtPrinterSurface, EveryScriptComesBackFromTheTextLayer) {
    const QStringList lines = {
        QString::fromUtf8("Latin: The quick brown fox 0123456789"),
        QString::fromUtf8("CJK: 文档打印测试 こんにちは世界 안녕하세요"),
        QString::fromUtf8("Arabic: مرحبا بالعالم"),
        QString::fromUtf8("Hebrew: שלום עולם"),
        QString::fromUtf8("Greek: Καλημέρα κόσμε, Cyrillic: Здравствуй, мир"),
        QString::fromUtf8("Box: ┌──┬──┐ │AB│CD│ Marks: x\u0302 e\u0301 ǘ"),
    };
    PrinterTestEnv env;
    TestPrinter printer;
    printer.setFontName(QStringLiteral("Courier New"));
    printer.setFontSize(10);
    float y = 0;
    for (const QString& line : lines) {
        printAt(printer, 0, y, line);
        y += 400;
    }
    printAt(printer, 0, y, QStringLiteral("none: a") + QChar(0x0378) + QStringLiteral("b"));
    printer.EndDoc();

    const QString pdf = env.path(QStringLiteral("job-0001.pdf"));
    EXPECT_EQ(pdfText(pdf).split(u'\n').mid(0, lines.size() + 1),
              lines + QStringList{QStringLiteral("none: a") + QChar(0x0378) + QStringLiteral("b")});
    const QStringList fonts = pdfFonts(pdf);
    EXPECT_GE(fonts.size(), 3);  // the main font, a CJK font, one for Arabic and Hebrew
    const QRegularExpression subset(QStringLiteral("^[A-Z]{6}\\+\\S+\\s.*yes yes yes"));
    for (const QString& row : fonts) EXPECT_TRUE(subset.match(row).hasMatch()) << qPrintable(row);
}

// A wide character takes two cells on paper: its glyph inks only those, and what follows it
// stays on the grid.
TEST(QtPrinterSurface, WideCharactersFillTwoCellsEach) {
    PrinterTestEnv env;
    TestPrinter printer;
    printer.setFontName(QStringLiteral("Courier New"));
    printer.setFontSize(10);
    const float cell = printer.TextWidth(QStringLiteral("A"));
    EXPECT_FLOAT_EQ(printer.TextWidth(QString::fromUtf8("文档")), 4 * cell);
    printer.Print(QString::fromUtf8("文档"), false);
    EXPECT_FLOAT_EQ(printer.CurrentX(), 4 * cell);
    printer.Print(QStringLiteral(" X"), true);
    printer.EndDoc();

    const QString pdf = env.path(QStringLiteral("job-0001.pdf"));
    const QVector<PdfWord> words = pdfWords(pdf);
    ASSERT_EQ(words.size(), 2);
    EXPECT_EQ(words[1].text, QStringLiteral("X"));
    EXPECT_NEAR(words[1].left * 20, 5 * cell, cell / 10);
    // 300 dpi: a cell of 120 twips is 25 pixels. Ink by column of the first text line.
    const QImage page = pdfPageImage(pdf, 1, 300, QRect(0, 0, 150, 60));
    const auto inked = [&page](int from, int to) {
        for (int x = from; x < to; ++x)
            for (int y = 0; y < page.height(); ++y)
                if (qGray(page.pixel(x, y)) < 128) return true;
        return false;
    };
    EXPECT_TRUE(inked(0, 50));      // the first character's two cells
    EXPECT_TRUE(inked(50, 100));    // the second's
    EXPECT_FALSE(inked(100, 125));  // the blank
    EXPECT_TRUE(inked(125, 150));   // X in its cell
}

// A one-line job embeds only the glyphs it printed: an invoice a day must not cost megabytes.
TEST(QtPrinterSurface, OneLineJobIsSmall) {
    PrinterTestEnv env;
    TestPrinter printer;
    printer.setFontName(QStringLiteral("Courier New"));
    printer.Print(QStringLiteral("Invoice 2024-0042  Jansen & Zn.  Total EUR 1.234,56"), true);
    printer.EndDoc();
    const QFileInfo pdf(env.path(QStringLiteral("job-0001.pdf")));
    EXPECT_LE(pdf.size(), 12 * 1024);
    EXPECT_EQ(pdfFonts(pdf.filePath()).size(), 1);  // no fallback font is embedded unused
}

// Qt names a family that two foundries make with the foundry in brackets; the printed font must
// still be that family's, not fontconfig's default.
TEST(QtPrinterSurface, FamilyOfTwoFoundriesPrintsInItsOwnFont) {
    const QString family = QStringLiteral("Nimbus Mono PS");
    if (!QFontInfo(QFont(family)).family().startsWith(family))
        GTEST_SKIP() << "the URW fonts are not installed";
    PrinterTestEnv env;
    TestPrinter printer;
    printer.setFontName(family);
    printer.Print(QStringLiteral("Nimbus"), true);
    printer.EndDoc();
    const QStringList fonts = pdfFonts(env.path(QStringLiteral("job-0001.pdf")));
    ASSERT_EQ(fonts.size(), 1);
    EXPECT_TRUE(fonts[0].contains(QLatin1String("+NimbusMonoPS"))) << qPrintable(fonts[0]);
}

// What a reader of the paper sees of the scripts that do not sit on the grid: each word at the
// size of the rest (its ink as tall as a capital's, at least), without holes inside it; a
// character no font has is its font's box, an emoji is drawn, a tab is blank. And what readers
// of the text get back: poppler and MuPDF both read these lines as written (MuPDF measures gaps
// with the font file's own advances: an ideograph over two cells left one it read as a space),
// MuPDF (which reads nothing but the glyphs' map entries, in the order they are drawn) an Indic
// vowel drawn before its consonant after it, and a vowel of two parts around its consonant in
// canonical decomposition.
TEST(QtPrinterSurface, WordsOfEveryScriptArePrintedWholeAndReadBack) {
    struct Case {
        const char* text;
        double gap;         // the widest blank inside the word, in cells (an empty cell is one)
        const char* mupdf;  // what MuPDF reads where it is not the text as written
    };
    const Case cases[] = {
        {"हिन्दी", 0.3, nullptr},
        {"সোনার", 0.3, "\u09B8\u09C7\u09BE\u09A8\u09BE\u09B0"},
        {"கொ", 0.3, "\u0B95\u0BC6\u0BBE"},
        {"ผู้ใหญ่", 0.3, nullptr},
        {"ភាសា", 0.4, nullptr},
        {"客户文档", 0.7, nullptr},
        {"السلام", 0.7, nullptr},
        {"שלום", 0.3, nullptr},
        {"עוֹלָם", 0.3, nullptr},
        {"👍🏽", 0.3, nullptr},
        {"👨‍👩‍👧", 0.3, nullptr},
        {"a\u0378b\u0379", 0.7, nullptr},
        {"a\u200Bb\u00ADc", 0.3, nullptr},
    };
    PrinterTestEnv env;
    TestPrinter printer;
    printer.setFontName(QStringLiteral("Courier New"));
    printer.setFontSize(12);
    const float line = 600;  // twips: a line of 120 pixels at 300 dpi
    printAt(printer, 0, 0, QStringLiteral("H"));
    for (size_t i = 0; i < std::size(cases); ++i)
        printAt(printer, 0, line * float(i + 1), QString::fromUtf8(cases[i].text));
    printAt(printer, 0, line * float(std::size(cases) + 1), QStringLiteral("a\tb"));
    // A word that ends short of its cells, then a space: MuPDF took the gap for a second space.
    const QString words = QStringLiteral("हिन्दी भाषा");
    printAt(printer, 0, line * float(std::size(cases) + 2), words);
    printer.EndDoc();

    const QString pdf = env.path(QStringLiteral("job-0001.pdf"));
    const auto lineInk = [&](size_t row) {
        return inkOf(pdfPageImage(pdf, 1, 300, QRect(0, int(row) * 120, 600, 120)));
    };
    const int capital = lineInk(0).box.height();
    const double cell = printer.TextWidth(QStringLiteral("A")) * 300 / 1440;
    QProcess mutool;
    mutool.start(QStringLiteral("mutool"), {QStringLiteral("draw"), QStringLiteral("-q"),
                                            QStringLiteral("-F"), QStringLiteral("txt"), pdf});
    mutool.waitForFinished(30000);
    const QStringList mupdf = QString::fromUtf8(mutool.readAllStandardOutput()).split(u'\n');
    const QStringList poppler = pdfText(pdf).split(u'\n');
    for (size_t i = 0; i < std::size(cases); ++i) {
        const QString text = QString::fromUtf8(cases[i].text);
        SCOPED_TRACE(cases[i].text);
        const Ink ink = lineInk(i + 1);
        EXPECT_GE(ink.box.height(), capital * 0.75);
        EXPECT_LE(ink.widestGap, cell * cases[i].gap);
        EXPECT_TRUE(poppler.contains(text));
        EXPECT_TRUE(mupdf.contains(cases[i].mupdf ? QString::fromUtf8(cases[i].mupdf) : text));
    }
    const Ink tab = lineInk(std::size(cases) + 1);
    EXPECT_GE(tab.widestGap, cell);  // blank in its cell, as on the window
    EXPECT_TRUE(mupdf.contains(words));
    EXPECT_TRUE(poppler.contains(words)) << poppler.join(u'|').toStdString();
}
