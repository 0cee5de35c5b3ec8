#pragma once

#include <QPageLayout>
#include <QString>

namespace zel {

// Where a print job goes: a CUPS queue, or PDF files in a directory.
struct PrinterDestination {
    QString queue;         // empty for PDF files
    QString pdfDirectory;  // where job-NNNN.pdf files go when queue is empty

    bool isPdf() const { return queue.isEmpty(); }
    // "pdf:DIR" (the default directory when DIR is empty) or a queue name.
    static PrinterDestination parse(const QString& text);
    // The form parse takes: the queue's name, or "pdf:DIR".
    QString text() const;
};

// The destination of the next job, first match wins: the one the calling print object chose
// (forCaller, see PrintJobs), $ZELPRINT_PRINTER, the destination last chosen by the user, the
// CUPS default queue, PDF files in the default directory.
PrinterDestination currentDestination(const QString& forCaller = QString());

// The user's choice ("Selecteer Printer"), a queue name or "pdf:DIR", kept in the settings
// store; it applies from the next job.
QString chosenDestination();
void saveChosenDestination(const QString& destination);

// ZelPrintDemo in the user's documents folder: $XDG_DOCUMENTS_DIR, else the desktop's documents
// folder (user-dirs.dirs; ~/Documents when it names none), else the home folder.
QString defaultPdfDirectory();

// Paper and printable area in portrait: for PDF files the whole sheet of the system's paper
// (/etc/papersize, A4 when it says nothing known); for a queue its defaults (482 for a queue that
// CUPS does not know).
QPageLayout pageLayoutFor(const PrinterDestination& destination);

}  // namespace zel
