#include "variant/VbError.h"

namespace zel {

VbError::VbError(int number) : VbError(number, standardText(number)) {}

VbError::VbError(int number, const QString& description)
    : std::runtime_error(QStringLiteral("%1: %2").arg(number).arg(description).toStdString()),
      number_(number),
      description_(description) {}

QString shownInError(const QString& argument) {
    constexpr qsizetype Longest = 120;
    constexpr qsizetype Kept = (Longest - 3) / 2;
    QString shown = argument.size() > Longest
                        ? argument.left(Kept) + QStringLiteral("...") + argument.right(Kept)
                        : argument;
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter) c = u'?';
    return shown;
}

QString VbError::standardText(int number) {
    switch (number) {
        case 5:
            return QStringLiteral("Invalid procedure call or argument");
        case 6:
            return QStringLiteral("Overflow");
        case 7:
            return QStringLiteral("Out of memory");
        case 9:
            return QStringLiteral("Subscript out of range");
        case 11:
            return QStringLiteral("Division by zero");
        case 13:
            return QStringLiteral("Type mismatch");
        case 52:
            return QStringLiteral("Bad file name or number");
        case 53:
            return QStringLiteral("File not found");
        case 55:
            return QStringLiteral("File already open");
        case 62:
            return QStringLiteral("Input past end of file");
        case 67:
            return QStringLiteral("Too many files");
        case 75:
            return QStringLiteral("Path/File access error");
        case 76:
            return QStringLiteral("Path not found");
        case 94:
            return QStringLiteral("Invalid use of Null");
        case 380:
            return QStringLiteral("Invalid property value");
        case 396:
            return QStringLiteral("Property cannot be set within a page");
        case 438:
            return QStringLiteral("Object doesn't support this property or method");
        case 448:
            return QStringLiteral("Named argument not found");
        case 450:
            return QStringLiteral("Wrong number of arguments or invalid property assignment");
        case 482:
            return QStringLiteral("Printer error");
        default:
            return QStringLiteral("Application-defined or object-defined error");
    }
}

}  // namespace zel
