// The text line reader and the template reader on any file content. The lines read, joined
// again with the carriage returns that ended them, give back the file (its UTF-8 decoded, a
// CR LF read as one end); the template prints or fails with a platform error.
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include "FuzzApplication.h"
#include "FuzzInput.h"
#include "files/NumberedFiles.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "support/RecordingPrinterSurface.h"
#include "surface/PrinterSurface.h"
#include "variant/VbError.h"

namespace zel {
namespace {

struct Fixture {
    QTemporaryDir dir;
    clsPrint* print = nullptr;
};

Fixture& fixture() {
    static Fixture* f = [] {
        ensureApplication();
        auto* made = new Fixture;  // lives as long as the process
        qputenv("ZELPRINT_PRINTER", "pdf:/nonexistent");
        made->print = new clsPrint(
            std::make_shared<PrintContext>(std::make_unique<RecordingPrinterSurface>()));
        made->print->SetMode(Variant("P"));
        return made;
    }();
    return *f;
}

// What the reader should give back: CR LF and a lone CR both end a line.
QString expectedJoin(const QByteArray& content) {
    QByteArray joined = content;
    joined.replace("\r\n", "\r");
    if (joined.endsWith('\r')) joined.chop(1);
    QStringList lines;
    for (const QByteArray& line : joined.split('\r')) lines << QString::fromUtf8(line);
    return lines.join(QLatin1Char('\r'));
}

}  // namespace
}  // namespace zel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zel;
    Fixture& f = fixture();
    // The printer records every call: what one input drew is of no use to the next, and kept
    // over a long run it would fill the memory.
    static_cast<RecordingPrinterSurface&>(f.print->context().printer()).clearCalls();
    const QString path = f.dir.filePath(QStringLiteral("t.psj"));
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        file.write(content);
    }
    QStringList lines;
    NumberedFiles files;
    files.OpenInput(1, path);
    while (!files.Eof(1)) lines << files.LineInput(1);
    files.Close(1);
    if (!content.isEmpty() && lines.join(QLatin1Char('\r')) != expectedJoin(content)) std::abort();
    try {
        Variant name(path);
        f.print->PrintFromSjabloon(Variant(""), Variant(""), name);
    } catch (const VbError&) {
    }
    return 0;
}
