// zelprint-demo: a stock report of a few pages, printed with the C++ interface of clsPrint.
//
// Read it as a tour of the component. A report is laid out on a grid of character cells: a
// line number (Regel) picks the row and a position (Positie) the column, both counting from 1
// inside the margins. The client hands out line numbers that keep growing over the whole
// report; clsPrint breaks the pages, repeats the header lines at the top of every page and
// fills in the placeholders (#D date, #T time, #B page number, #0 to #9 parameters).
//
// Usage: zelprint-demo [--screen] [DIR]
// Prints to PDF files in DIR; without DIR to $ZELPRINT_PRINTER (a CUPS queue name or
// "pdf:DIR"), or else to the out/ folder of the source tree. Writes where the job went.
// With --screen the pages are also shown in the window "Afdrukken", and each finished page
// waits for "Ja" in the window "Afdrukken bevestigen".
#include <QDir>
#include <cstdio>

#include "ExampleApplication.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "variant/VbError.h"

using zel::clsPrint;
using zel::Variant;

namespace {

// The interface takes dynamic values; these keep the calls below short.
Variant n(double value) {
    return Variant::Double(value);
}
Variant text(const char* value) {
    return Variant(value);
}

// Colours are RGB values with red in the low byte.
constexpr int32_t rgb(int red, int green, int blue) {
    return red | green << 8 | blue << 16;
}
const Variant Zwart = Variant::Long(rgb(0, 0, 0));
const Variant Rood = Variant::Long(rgb(200, 0, 0));
const Variant Blauw = Variant::Long(rgb(0, 60, 160));
const Variant Groen = Variant::Long(rgb(0, 110, 60));
const Variant Lichtgeel = Variant::Long(rgb(255, 245, 200));

struct Article {
    QString code;
    QString omschrijving;
    int voorraad;
    double prijs;
};

struct Group {
    QString naam;
    QVector<Article> articles;
};

// Made-up stock: a few groups of articles, the same on every run.
QVector<Group> demoStock() {
    const char* const groups[] = {"Gereedschap", "Bevestiging", "Elektra", "Verf", "Tuin"};
    const char* const items[] = {"hamer",  "schroef", "moer", "kabel",       "kwast",
                                 "schaar", "boor",    "tang", "lijm",        "slang",
                                 "plug",   "ring",    "zaag", "schuurpapier"};
    QVector<Group> stock;
    int serial = 0;
    for (const char* group : groups) {
        QVector<Article> articles;
        for (int i = 0; i < 28; ++i, ++serial) {
            articles.push_back({QStringLiteral("A-%1").arg(1000 + serial),
                                QStringLiteral("%1, maat %2")
                                    .arg(QString::fromLatin1(items[serial % 14]))
                                    .arg(serial % 7 + 1),
                                (serial * 37) % 120, 0.95 + (serial * 13) % 250 / 4.0});
        }
        stock.push_back({QString::fromLatin1(group), articles});
    }
    return stock;
}

// Writes the body of the report, line after line, and puts the watermark on every page.
class StockReport {
public:
    explicit StockReport(clsPrint& print) : print_(print) {}

    void setUp(const char* UitvoerMode);
    void group(const Group& group);
    void summary();

private:
    // A body text on the next line. clsPrint starts a new page when the line no longer fits;
    // a watermark is per page, so it follows the first text of each page (drawn after it, it
    // lies under everything that comes later on the page).
    void line(int positie, const QString& tekst, const Variant& kleur = Variant::Missing());
    void nextLine() { ++regel_; }

    clsPrint& print_;
    int regel_ = 1;  // the client's line number: grows over the whole report
    int watermarkPage_ = 0;
    int articles_ = 0;
    double value_ = 0;
};

void StockReport::setUp(const char* UitvoerMode) {
    // Output mode "P": the printer only (a CUPS queue or PDF files). "S" shows each page in
    // the window and asks for confirmation at each page end; "PS" does both. The window
    // appears once Show is called.
    // Reset's HorLines puts a frame along the margins of every page. Reset counts the page
    // it closes, so the next page would be numbered 2: Cls starts the count afresh.
    print_.Reset(text(UitvoerMode), /*HorLines=*/true);
    print_.Cls();
    print_.Show();

    // The default set "Terminal" prints in 6-point Courier New; larger print, fewer cells.
    print_.letPrintFontSize(n(10));

    // Parameters fill the placeholders #0 to #9 each time a text is printed.
    print_.SetParm(n(0), text("Zel Demo BV"));
    print_.SetParm(n(1), text("Magazijn Noord"));

    // Header lines are recorded once and drawn at the top of every page. Their line numbers
    // are absolute page lines; the body continues below the highest one.
    const double right =
        print_.context().geometry().PositionsPerLine + 1;  // the right margin, as a position
    print_.ClearKopregels();
    print_.AddKopregel(n(2), n(3), text("#0 - Voorraadoverzicht #1"), Blauw);
    print_.AddKopregel(n(2), n(right - 13), text("Pagina #B"));
    print_.AddKopregel(n(3), n(3), text("Artikel  Omschrijving                Voorraad     Prijs"));
    print_.AddKopregel(n(3), n(right - 18), text("Datum #D"));
    // A box around the header (half a line of air above and below) and a line under it.
    // Line widths count printer pixels of 1/600 inch.
    print_.AddKopregelBox(n(1.5), n(4.5), n(1), n(right), Blauw, false, n(4));
    print_.AddKopregelLine(n(5), n(5), n(1), n(right), Rood, n(8));
}

void StockReport::line(int positie, const QString& tekst, const Variant& kleur) {
    print_.AddTekst(n(regel_), n(positie), Variant(tekst), kleur);
    if (print_.CurrentPage != watermarkPage_) {
        watermarkPage_ = print_.CurrentPage;
        print_.Watermerk(text("VOORBEELD"));  // 72 points, light grey, centred on the sheet
    }
}

void StockReport::group(const Group& group) {
    // Keep the group's title with at least three of its articles: when the block does not
    // fit, the page ends here and the title starts the next page.
    print_.CheckRegelsBeschikbaar(n(regel_), n(5));
    line(3, QStringLiteral("Groep: %1").arg(group.naam), Blauw);
    // AddLine and AddBox do not break pages, so they follow a text on the same page. Line
    // numbers may have fractions: this one runs through the middle of the empty next line.
    print_.AddLine(n(regel_ + 1.5), n(3), n(regel_ + 1.5), n(70), Blauw, n(4));
    nextLine();
    nextLine();
    for (const Article& a : group.articles) {
        const bool low = a.voorraad < 10;
        line(3, a.code);
        line(12, a.omschrijving);
        line(41, QStringLiteral("%1").arg(a.voorraad, 5), low ? Rood : Zwart);
        line(51, QStringLiteral("%1").arg(a.prijs, 9, 'f', 2));
        if (low) line(62, QStringLiteral("bijbestellen"), Rood);
        nextLine();
        ++articles_;
        value_ += a.voorraad * a.prijs;
    }
    nextLine();
}

void StockReport::summary() {
    print_.SetParm(n(2), Variant::Long(articles_));
    print_.SetParm(n(3), Variant(QString::number(value_, 'f', 2)));
    print_.CheckRegelsBeschikbaar(n(regel_), n(5));
    line(3, QStringLiteral("Samenvatting"), Groen);
    // A filled box with an outline, then the texts on it (printed text has a transparent
    // background). Half a line of air above and below the two texts.
    const double top = regel_ + 1.5, bottom = regel_ + 4.5;
    print_.AddBox(n(top), n(3), n(bottom), n(60), Lichtgeel, /*FillArea=*/true);
    print_.AddBox(n(top), n(3), n(bottom), n(60), Groen, false, n(6));
    regel_ += 2;
    line(5, QStringLiteral("Artikelen op voorraad: #2"));
    nextLine();
    line(5, QStringLiteral("Totale voorraadwaarde: EUR #3"), Groen);
}

}  // namespace

int main(int argc, char** argv) {
    zel::examples::ExampleApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    const bool screen = arguments.removeAll(QStringLiteral("--screen")) > 0;
    if (arguments.size() > 2 || arguments.value(1).startsWith(QLatin1Char('-'))) {
        std::fputs("Usage: zelprint-demo [--screen] [DIR]\n", stderr);
        return 2;
    }
    if (arguments.size() == 2)
        qputenv("ZELPRINT_PRINTER", "pdf:" + QDir(arguments[1]).absolutePath().toUtf8());
    else if (qEnvironmentVariableIsEmpty("ZELPRINT_PRINTER"))
        qputenv("ZELPRINT_PRINTER", "pdf:" ZELPRINT_DEMO_OUT);

    const zel::examples::JobWatch job;
    try {
        clsPrint print;
        StockReport report(print);
        report.setUp(screen ? "PS" : "P");
        for (const Group& group : demoStock()) report.group(group);
        report.summary();
        print.Cls();  // ends the print job, so the file or queue gets it now
    } catch (const zel::VbError& error) {
        std::fprintf(stderr, "zelprint-demo: %s\n", error.what());
        return 1;
    }
    for (const QString& result : job.results())
        std::printf("%s%s\n", job.isPdf() ? "" : "sent to CUPS queue ", qPrintable(result));
    return 0;
}
