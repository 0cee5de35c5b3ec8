#pragma once

#include <QString>
#include <memory>

class QTemporaryFile;

namespace zel {

// A job is written to a spool file under a temporary name (.job-PID-XXXXXX.part), so that a
// discarded job or a crash leaves no half-written output; the spool file is removed with the
// object unless published. Spool files of processes that no longer run (a killed server) are
// removed first. 482 when the directory cannot be created or written.
std::unique_ptr<QTemporaryFile> createSpoolFile(const QString& directory);

// Makes sure a spool file holds a whole PDF on the disk (flushed, ending with its trailer), so
// that a file system that filled up during the job is an error and never a truncated job; 482
// otherwise.
void requireCompleteSpool(const QString& spoolPath);

// Publishes a finished spool file as directory/job-NNNN.pdf, the lowest number not yet taken
// (reserved exclusively, so no earlier job is ever overwritten): four digits up to 9999, as
// many as needed after (job-10000.pdf). Returns the file's path; 482 when the spool file is
// missing or empty, or the folder cannot be read or the name taken.
QString publishPdfJob(const QString& spoolPath, const QString& directory);

}  // namespace zel
