#pragma once

#include <QString>
#include <QStringList>

#include "variant/Variant.h"

namespace zel {

class UserQuestions;

// Asks the user for a file name with an open or save dialog (save for the output, append and
// read-write byte modes that may create a file; open, for existing files only, otherwise).
// Option "E" titles it as a file not found. FileName gives the first file name and directory
// (DefaultDir, when given, is the first directory; the home folder when neither names one, or
// the one named is of a pseudo file system such as /proc) and receives the chosen full path,
// or the empty text on cancel. Returns the Integer 0 when a file was chosen, -1 otherwise.
// Listing a folder reads no file: a file's type is told by its name.
Variant AskFileName(UserQuestions& questions, Variant& FileName, const Variant& Filter,
                    const Variant& Mode, const Variant& option,
                    const Variant& DefaultDir = Variant::Missing());

// The dialog's name filters for a filter text of description|pattern pairs ("Alle bestanden
// (*.*)|*.*" when empty). Patterns separated by ";" become a space-separated list and "*.*"
// becomes "*" (on Linux "*.*" would skip names without a dot).
QStringList NameFilters(const QString& filter);

// The dialog's title for the option and the current file name.
QString FileDialogTitle(const QString& option, const QString& fileName);

}  // namespace zel
