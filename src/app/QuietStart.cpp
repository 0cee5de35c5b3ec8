#include "app/QuietStart.h"

#include <QString>
#include <QtGlobal>

namespace zel {

namespace {

QtMessageHandler previousHandler = nullptr;

void filterNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    previousHandler(type, context, message);
}

}  // namespace

void quietenQtNotes() {
    previousHandler = qInstallMessageHandler(filterNotes);
}

}  // namespace zel
