#pragma once

#include <QString>

#include "surface/PageLayout.h"

namespace zel {

class JobOptions;

// What the printer needs from CUPS. With no CUPS scheduler running there is no queue at all.
// Every call is bounded: it runs off the event loop on a connection of its own, so that a slow
// or frozen scheduler never holds up the other clients' calls, and gives up after a while.
namespace cups {

// How long a lookup may take, and how long a job may take to be handed over.
constexpr int LookupMilliseconds = 5000;
constexpr int SubmitMilliseconds = 15000;

// The default queue, or empty when CUPS has none (or does not answer).
QString defaultQueue();
bool queueExists(const QString& queue);
// The queue's paper (the option media, else its default paper) and printable area, in
// portrait; 482 when CUPS does not know the queue or does not answer.
PageLayout queueLayout(const QString& queue, const QString& media);
// 482 naming the first option that CUPS would refuse for the queue (a number of copies, pages
// per sheet or banner it does not support, page ranges it cannot read), so that a job is
// refused before anything is printed.
void checkOptions(const QString& queue, const JobOptions& options);
// Submits a PDF file as a job with the options and title (the application's title when the
// options have none); returns the job's id. 482 with CUPS's reason when it is refused, or when
// CUPS did not take it within SubmitMilliseconds.
int submitPdf(const QString& queue, const QString& path, const JobOptions& options);

// Where a job is at CUPS: its state (pending, held, processing, stopped, canceled, aborted,
// completed) and why, in CUPS's words. Asked off the event loop's thread by the caller.
struct JobStatus {
    QString state;
    QString reason;
    bool queueStopped = false;  // the queue is stopped or no longer takes jobs
    bool ended() const;         // canceled, aborted or completed
};
// Blocks (bounded by the connection's timeouts): call it off the event loop. Empty state when
// CUPS could not be asked.
JobStatus jobStatus(const QString& queue, int job);

}  // namespace cups
}  // namespace zel
