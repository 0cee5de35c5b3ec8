#pragma once

#include <QDBusMessage>
#include <QString>

namespace zel {

class clsPrint;

namespace Bus {
inline const QString kBatchInterface = QStringLiteral("ZelPrintDemo.Batch");
}  // namespace Bus

// Run(a(sava{sv}) calls) -> (av results, i failedIndex, s error)
inline const QString kBatchRunSignature = QStringLiteral("a(sava{sv})");

// ZelPrintDemo.Batch.Run: many members of ZelPrintDemo._clsPrint in one message, so that a
// client pays the bus's round trip once per batch instead of once per call. Each call is a
// member's name, its required arguments and its optional ones, run in order as if sent one by
// one (the whole batch is one held call, so a confirmation wait inside it holds other clients'
// calls as any call's wait does). It stops at the first error: failedIndex is that call's index
// and error its "N: text"; results hold the result of every call that ran (Empty for a member
// without one); failedIndex is -1 when all ran.
QDBusMessage runBatch(const QDBusMessage& message, clsPrint& print);

}  // namespace zel
