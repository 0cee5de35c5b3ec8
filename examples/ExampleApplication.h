#pragma once

#include <QApplication>
#include <QStringList>
#include <memory>

#include "surface/PrinterDestination.h"

namespace zel::examples {

// What every program that prints with clsPrint sets up around its reports: the application
// object, a display platform that works without a screen, and the process-wide teardown.
// Create it first in main() and let every clsPrint object go before it does.
class ExampleApplication {
public:
    // Runs on the offscreen platform when there is no display (nobody can answer a question
    // there, so questions get the no-display answers).
    ExampleApplication(int& argc, char** argv);
    // Ends an open print job, then unloads the windows, while the application still exists.
    ~ExampleApplication();

    ExampleApplication(const ExampleApplication&) = delete;
    ExampleApplication& operator=(const ExampleApplication&) = delete;

private:
    std::unique_ptr<QApplication> app_;
};

// Finds where a report went: made before the report starts, asked after it ended.
class JobWatch {
public:
    JobWatch();  // takes the destination of the next job
    // The PDF files that appeared since (job-NNNN.pdf), or the queue name for a CUPS queue.
    QStringList results() const;
    bool isPdf() const { return destination_.isPdf(); }

private:
    PrinterDestination destination_;
    QStringList before_;
};

}  // namespace zel::examples
