#pragma once

#include <QString>
#include <vector>

#include "variant/Variant.h"
#include "variant/VbError.h"

namespace zel {

// What a parameter's value is converted to where the member uses it. Every parameter travels as
// a variant; the kind is what the reference and the clients show, and what names the argument
// when its conversion fails.
enum class ArgKind {
    Any,      // any value, taken as it is
    Long,     // a whole number (32 bits)
    Number,   // a number, fractions kept
    Text,     // a text; numbers and dates by their text form
    Boolean,  // true or false (numbers: 0 is false)
};

// The kind's name as the reference and the error messages show it ("Long", "Number", ...).
QString kindName(ArgKind kind);

// Converts the value as the kind does, throwing the conversion's error (13, 94, 6); Any takes
// everything.
void convertAs(const Variant& value, ArgKind kind);

// The error with the argument it concerns after its number's text, so that a client can tell
// which of its values to mend: "Type mismatch (argument Regel, expected Long)". `what` is
// "argument" or "property".
VbError namingArgument(const VbError& error, const char* what, const QString& name,
                       const QString& expected);

// A parameter as an error names it.
struct DeclaredArgument {
    QString name;
    ArgKind kind;
};

// The error a member raised, naming the first argument whose conversion to its kind fails with
// the same number (13, 94, 6); unchanged when none does. Missing arguments are not looked at.
VbError namingFailedArgument(const VbError& error, const std::vector<Variant>& args,
                             const std::vector<DeclaredArgument>& declared);

}  // namespace zel
