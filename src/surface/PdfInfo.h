#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace zel {

// The document information dictionary of a job's PDF: who made it (ZelPrintDemo and its
// version), when, and its title, so that viewers and the print queue show the report's name
// rather than a file name.
QByteArray pdfInfoDictionary(const QString& title, const QDateTime& created);

}  // namespace zel
