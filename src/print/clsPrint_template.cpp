// Printing from a stored template (".psj"): every line of the file, in order, becomes one body
// line of the report.
#include "files/NumberedFiles.h"
#include "files/UserQuestions.h"
#include "files/mdlFileHandling.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"

namespace zel {

namespace {

// Closes the template file however the printing ends, so that no call keeps one of the
// context's file numbers.
class ClosedAfterwards {
public:
    ClosedAfterwards(NumberedFiles& files, int16_t number) : files_(files), number_(number) {}
    ~ClosedAfterwards() { files_.Close(number_); }
    ClosedAfterwards(const ClosedAfterwards&) = delete;
    ClosedAfterwards& operator=(const ClosedAfterwards&) = delete;

private:
    NumberedFiles& files_;
    int16_t number_;
};

}  // namespace

// DatabaseNaam and strSQL are accepted for the interface and not used. The result is false
// in every case; an abort shows in GetResult.
bool clsPrint::PrintFromSjabloon(const Variant& /*DatabaseNaam*/, const Variant& /*strSQL*/,
                                 Variant& Sjabloonnaam) {
    const int16_t FileNr =
        OpenFile(context_->questions(), context_->files(), Sjabloonnaam,
                 Variant("Print sjabloon (*.psj)|*.psj|Alle bestanden (*.*)|*.*"), Variant("INPUT"))
            .toInteger();
    if (FileNr <= 0) {
        context_->questions().MsgBox(QStringLiteral("Er is geen sjabloon gevonden"), vbOKOnly,
                                     QString());
        return false;
    }
    NumberedFiles& files = context_->files();
    const ClosedAfterwards closed(files, FileNr);
    while (!files.Eof(FileNr)) PrintRegel(Variant(files.LineInput(FileNr)));
    return false;
}

// The line goes to AddTekst at position 1 of the next template line, so page breaks, the
// header and placeholders work as for any text of the client.
void clsPrint::PrintRegel(const Variant& Tekst) {
    ++SjabloonRegel_;
    AddTekst(Variant::Long(SjabloonRegel_), Variant::Integer(1), Tekst);
}

}  // namespace zel
