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

namespace {

struct ErrorText {
    int number;
    const char* text;
};

const ErrorText kErrorTexts[] = {
    {5, "Invalid procedure call or argument"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {9, "Subscript out of range"},
    {11, "Division by zero"},
    {13, "Type mismatch"},
    {52, "Bad file name or number"},
    {53, "File not found"},
    {55, "File already open"},
    {62, "Input past end of file"},
    {67, "Too many files"},
    {75, "Path/File access error"},
    {76, "Path not found"},
    {94, "Invalid use of Null"},
    {380, "Invalid property value"},
    {396, "Property cannot be set within a page"},
    {438, "Object doesn't support this property or method"},
    {448, "Named argument not found"},
    {450, "Wrong number of arguments or invalid property assignment"},
    {482, "Printer error"},
};

}  // namespace

QString VbError::standardText(int number) {
    for (const ErrorText& entry : kErrorTexts)
        if (entry.number == number) return QLatin1String(entry.text);
    return QStringLiteral("Application-defined or object-defined error");
}

std::vector<int> VbError::knownNumbers() {
    std::vector<int> numbers;
    for (const ErrorText& entry : kErrorTexts) numbers.push_back(entry.number);
    return numbers;
}

}  // namespace zel
