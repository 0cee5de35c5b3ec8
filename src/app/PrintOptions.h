#pragma once

#include <QString>
#include <QStringList>

#include "surface/JobOptions.h"

namespace zel {

// How a text file is laid out, as lp's text filter takes it (-o cpi=12 -o lpi=8 ...).
struct TextLayout {
    double cpi = 10;                       // characters an inch; 0: the font's own (--font-size)
    double lpi = 6;                        // lines an inch; 0: the font's own line height
    double margins[4] = {18, 18, 36, 36};  // left, right, top, bottom, points
    int columns = 1;
    bool prettyprint = false;  // a header with the file's name, the date and the page
    bool wrap = true;          // false: long lines are cut at the column's edge
};

// What `zelprint print` was asked for.
struct PrintOptions {
    QStringList files;  // "-" for standard input
    bool forceText = false;
    bool forceTemplate = false;
    bool anyData = false;  // -o document-format=text/plain: binary files are printed as text
    bool silent = false;   // -s: standard output does not say where the job went
    bool wait = false;
    QString mode = QStringLiteral("P");
    QString defaultName;
    int orientation = 0;  // 0: as the printer has it
    QString header;
    bool hasHeader = false;
    float fontSize = 0;   // 0: as the default set has it, or from cpi for text
    QString destination;  // empty: the usual choice; a pdf: folder is made absolute here
    JobOptions job;       // what goes to CUPS
    TextLayout text;

    // Whether the file is printed as plain text: --text, or without --template any file whose
    // name does not end in .psj (in any case), standard input included.
    bool isText(const QString& file) const;
    bool drawsOnScreen() const { return mode.contains(QLatin1Char('S')); }
};

extern const QString StandardInput;  // "-"
extern const char* const PrintHelp;

// The command line (without the program's name and the subcommand) into options; the text of
// a usage error, or empty. help is set for -h/--help.
QString parsePrintOptions(const QStringList& arguments, PrintOptions& options, bool& help);

}  // namespace zel
