#pragma once

#include <QString>

namespace zel::bench {

// Seconds to print the lines of a text file to the printer, in mode "P", job end included.
// Each line is one AddTekst on the next line of one clsPrint.
double addTekstSeconds(const QString& file);
// The same lines drawn straight on the printer surface, a new sheet whenever the page grid of
// the print object is full: what the printing costs without the print object's logic.
double surfaceSeconds(const QString& file);

}  // namespace zel::bench
