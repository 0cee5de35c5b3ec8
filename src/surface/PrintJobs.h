#pragma once

#include <QObject>
#include <QString>
#include <cstdint>

#include "surface/JobOptions.h"

namespace zel {

// What became of one print job that reached its destination.
struct EndedJob {
    QString destination;  // the CUPS queue's name, or "pdf:DIR"
    QString document;     // the PDF file's path, or the CUPS job id
    int32_t pages = 0;
};

// The jobs of one printer, which every print object of its context shares. Whoever runs the
// objects' calls (the server) says whose calls run now: a job belongs to the caller whose output
// started it, goes to that caller's destination when it chose one, and its progress is reported
// with the caller's number. Callers are numbered from 1; 0 is nobody.
class PrintJobs : public QObject {
    Q_OBJECT
public:
    int caller() const { return caller_; }
    // The destination the caller chose ("QUEUE" or "pdf:DIR"), empty for the usual choice.
    const QString& callerDestination() const { return callerDestination_; }
    // The options and title the caller asked for, over those of the destination.
    const JobOptions& callerOptions() const { return callerOptions_; }

    // Sets the caller for the lifetime of the object, then restores the one before.
    class Scope {
    public:
        Scope(PrintJobs& jobs, int caller, const QString& destination,
              const JobOptions& options = {});
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        PrintJobs& jobs_;
        int caller_;
        QString destination_;
        JobOptions options_;
    };

Q_SIGNALS:
    // A sheet of the owner's job is finished: no more output goes on it. Sheets count from 1
    // within each job.
    void sheetFinished(int owner, int32_t sheet);
    // A job started on another sheet than the printer's area was last measured on: the grid
    // must be measured again.
    void sheetChanged();
    // The owner's job reached its destination.
    void jobEnded(int owner, const zel::EndedJob& job);

private:
    int caller_ = 0;
    QString callerDestination_;
    JobOptions callerOptions_;
};

}  // namespace zel
