#pragma once

#include <QPageLayout>
#include <QString>

namespace zel {

// What the printer needs from CUPS. With no CUPS scheduler running there is no queue at all.
namespace cups {

// The default queue, or empty when CUPS has none.
QString defaultQueue();
bool queueExists(const QString& queue);
// The queue's default paper and printable area; 482 when Qt cannot select the queue.
QPageLayout queueLayout(const QString& queue);
// Submits a PDF file as job "ZelPrintDemo" and returns CUPS's job id; 482 with CUPS's reason
// when it is refused.
int submitPdf(const QString& queue, const QString& path);

}  // namespace cups
}  // namespace zel
