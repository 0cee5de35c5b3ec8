#pragma once

#include <QString>
#include <stdexcept>
#include <vector>

namespace zel {

// A run-time error with the platform's number and text; over D-Bus it is the error
// ZelPrintDemo.Error<N> with the message "<N>: <text>".
class VbError : public std::runtime_error {
public:
    explicit VbError(int number);                     // the standard text for the number
    VbError(int number, const QString& description);  // a more precise text
    int number() const { return number_; }
    QString description() const { return description_; }

    // The platform's standard text for an error number ("Overflow", "Type mismatch", ...).
    static QString standardText(int number);
    // The numbers that have a text of their own, in ascending order.
    static std::vector<int> knownNumbers();

private:
    int number_;
    QString description_;
};

// An argument as an error text names it: readable and short, whatever it holds (a path of
// megabytes, bytes of a damaged file). Control characters show as '?'; past 120 characters the
// middle is left out, keeping the start and the end (a path's file name).
QString shownInError(const QString& argument);

// The error numbers the project raises.
namespace VbErr {
constexpr int InvalidProcedureCall = 5;
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int SubscriptOutOfRange = 9;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;
constexpr int BadFileNameOrNumber = 52;
constexpr int FileNotFound = 53;
constexpr int FileAlreadyOpen = 55;
constexpr int InputPastEndOfFile = 62;
constexpr int TooManyFiles = 67;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
constexpr int InvalidUseOfNull = 94;
constexpr int InvalidPropertyValue = 380;
constexpr int PropertyCannotBeSetWithinPage = 396;
constexpr int ObjectDoesNotSupportMember = 438;
constexpr int NamedArgumentNotFound = 448;
constexpr int WrongNumberOfArguments = 450;
constexpr int PrinterError = 482;
}  // namespace VbErr

}  // namespace zel
