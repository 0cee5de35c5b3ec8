#pragma once

#include <QString>

#include "surface/JobOptions.h"
#include "surface/PageLayout.h"

namespace zel {

// Where a print job goes: a CUPS queue, or PDF files in a directory; and how.
struct PrinterDestination {
    QString queue;         // empty for PDF files
    QString pdfDirectory;  // where job-NNNN.pdf files go when queue is empty
    JobOptions options;    // copies, sides, paper ... and the title

    bool isPdf() const { return queue.isEmpty(); }
    // "pdf:DIR" (the default directory when DIR is empty) or a queue name.
    static PrinterDestination parse(const QString& text);
    // The form parse takes: the queue's name, or "pdf:DIR".
    QString text() const;
};

// The destination of the next job, first match wins: the one the calling print object chose
// (forCaller, see PrintJobs), $ZELPRINT_PRINTER, the destination last chosen by the user (with
// the options chosen with it), the CUPS default queue, PDF files in the default directory. The
// caller's options and title (callerOptions, see PrintJobs) apply over the destination's.
PrinterDestination currentDestination(const QString& forCaller = QString(),
                                      const JobOptions& callerOptions = {});

// The user's choice ("Selecteer Printer"), a queue name or "pdf:DIR", and the options chosen
// with it, kept in the settings store; they apply from the next job.
QString chosenDestination();
JobOptions chosenOptions();
void saveChosenDestination(const QString& destination, const JobOptions& options = {});

// What currentDestination's answer rests on, but for CUPS's default queue: while it stays the
// same, so does the destination.
QString destinationChoice(const QString& forCaller, const JobOptions& callerOptions);

// Whether the options ask for landscape sheets as lp takes them: orientation-requested 4 or 5
// (the reversed ones print as their plain forms), else landscape.
bool landscapeAsked(const JobOptions& options);
// Whether print-color-mode asks for no colour (monochrome, bi-level and their process- forms).
bool monochromeAsked(const JobOptions& options);

// The options that a PDF file cannot carry (all but the paper, its orientation and colour
// mode); said once per job on standard error by the printer, and ignored.
QStringList optionsPdfIgnores(const JobOptions& options);

// ZelPrintDemo in the user's documents folder: $XDG_DOCUMENTS_DIR, else the desktop's documents
// folder (user-dirs.dirs; ~/Documents when it names none), else the home folder.
QString defaultPdfDirectory();

// Paper and printable area in portrait: for PDF files the whole sheet of the option media (any
// name CUPS takes, see paperNamed), else of the system's paper (see systemPaper), 482 for a
// paper of no known size; for a queue the option media, else its default paper, with its
// printable area (482 for a queue that CUPS does not know).
PageLayout pageLayoutFor(const PrinterDestination& destination);

}  // namespace zel
