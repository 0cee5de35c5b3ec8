#pragma once

#include <QString>
#include <cstdint>

#include "variant/Variant.h"

// The file open service and its path routines.
//
// Paths: the service builds and splits real paths with "/"; the routines that take a separator
// argument split at that separator only. A name that contains "/", "\" or ":" is not a bare
// file name (so a default directory is not put in front of it).
namespace zel {

class NumberedFiles;
class UserQuestions;

// Opens FileName by the mode keyword (one of 19, compared after upper-casing) and returns the
// file number as an Integer, or -1 when no file was opened. Failed opens are repaired with the
// user: a missing directory is created after a question (modes not beginning with "INPUT"),
// otherwise the file name dialog asks for another name; the same open is then tried again.
// FileName receives the name actually used (the empty text after a cancelled dialog). The
// questions go to the user through `questions`; the file takes a number of `files`.
Variant OpenFile(UserQuestions& questions, NumberedFiles& files, Variant& FileName,
                 const Variant& Filter, const Variant& Mode,
                 const Variant& DefaultDir = Variant::Missing());

// True when a regular file of exactly this name exists.
bool FileExists(const QString& name);

// The part after the last separator (the whole text when there is none); SkipFirst drops the
// first character first.
QString FileNamePart(const QString& text, const QString& separator, bool SkipFirst = false);

// The part up to and including the last separator (empty when there is none); SkipLast drops
// the last character first, which gives the directory above a directory ending in a separator.
QString DirectoryPart(const QString& text, const QString& separator, bool SkipLast = false);

// Creates the directory part of path (with Parent, the directory above it), asking first with
// option "J", and any missing directories above it, from the top down, one question per level
// from the deepest up. Returns 0 when created, -1 otherwise.
int16_t MakePath(UserQuestions& questions, const QString& path, const QString& option, bool Parent);

}  // namespace zel
