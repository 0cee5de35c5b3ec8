#pragma once

#include <cups/cups.h>

#include <QString>

namespace zel {

// A paper by any name CUPS takes for it, in any case: its PWG name ("iso_a5_148x210mm"), a
// legacy name ("tabloid"), a PPD name ("A5", "Letter", "EnvDL"), so also "a5", "letter" and
// "envdl". The first of a list ("A4,tray1") is the paper. Null for a name CUPS does not know.
const pwg_media_t* paperNamed(const QString& media);

// The system's paper as libpaper takes it: named by $PAPERSIZE, else by the first line of the
// file $PAPERCONF (/etc/papersize when unset) that is not a comment; A4 when neither names a
// paper that CUPS knows.
const pwg_media_t& systemPaper();

}  // namespace zel
