// Placeholder expansion as a client reaches it: parameters #0 to #9 (which may hold codes of
// their own), page and line counters, then a body text in mode "P" on a printer that records.
// Every text is printed or refused with a platform error (7 past the bound of one expansion).
#include <memory>

#include "FuzzApplication.h"
#include "FuzzInput.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "support/RecordingPrinterSurface.h"
#include "surface/PrinterSurface.h"
#include "variant/VbError.h"

namespace {

zel::clsPrint& printObject() {
    static zel::clsPrint* print = [] {
        ensureApplication();
        qputenv("ZELPRINT_PRINTER", "pdf:/nonexistent");
        // Lives as long as the process.
        auto* object = new zel::clsPrint(
            std::make_shared<zel::PrintContext>(std::make_unique<zel::RecordingPrinterSurface>()));
        object->SetMode(zel::Variant("P"));
        return object;
    }();
    return *print;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zel::clsPrint& print = printObject();
    // The printer records every call: what one input drew is of no use to the next, and kept
    // over a long run it would fill the memory.
    static_cast<zel::RecordingPrinterSurface&>(print.context().printer()).clearCalls();
    FuzzInput in(data, size);
    try {
        for (int16_t n = 0; n < 10; ++n)
            print.SetParm(zel::Variant::Integer(n), zel::Variant(in.text()));
        print.CurrentPage = in.number<int32_t>();
        print.CurrentLine = in.number<int32_t>();
        print.AddTekst(zel::Variant::Integer(1), zel::Variant::Integer(1), zel::Variant(in.text()),
                       zel::Variant::Missing(), zel::Variant::Missing(), false);
    } catch (const zel::VbError&) {
    }
    return 0;
}
