#include "surface/PdfInfo.h"

namespace zel {

namespace {

// A text string as UTF-16 with its byte-order mark, in hex: any character, nothing to escape.
QByteArray textString(const QString& text) {
    QByteArray bytes("\xFE\xFF", 2);
    for (const QChar c : text) {
        bytes += char(c.unicode() >> 8);
        bytes += char(c.unicode() & 0xFF);
    }
    return '<' + bytes.toHex().toUpper() + '>';
}

// D:YYYYMMDDHHmmSS with the offset from UTC, as PDF dates are written.
QByteArray pdfDate(const QDateTime& moment) {
    const int offset = moment.offsetFromUtc() / 60;
    const QString zone = offset == 0 ? QStringLiteral("Z")
                                     : QStringLiteral("%1%2'%3'")
                                           .arg(offset < 0 ? u'-' : u'+')
                                           .arg(qAbs(offset) / 60, 2, 10, QLatin1Char('0'))
                                           .arg(qAbs(offset) % 60, 2, 10, QLatin1Char('0'));
    return "(D:" + moment.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + zone.toLatin1() +
           ')';
}

}  // namespace

QByteArray pdfInfoDictionary(const QString& title, const QDateTime& created) {
    return "<< /Producer " + textString(QStringLiteral("ZelPrintDemo " ZELPRINT_VERSION)) +
           " /Creator " + textString(QStringLiteral("ZelPrintDemo")) + " /CreationDate " +
           pdfDate(created) + " /Title " + textString(title) + " >>\n";
}

}  // namespace zel
