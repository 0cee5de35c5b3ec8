// Prints a one-page report to the PDF folder given as argument and writes nothing else.
#include <zelprint/print/clsPrint.h>
#include <zelprint/variant/VbError.h>
#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    qputenv("ZELPRINT_PRINTER", QByteArray("pdf:") + argv[1]);
    QApplication app(argc, argv);
    try {
        zel::clsPrint print;
        print.Reset(zel::Variant("P"));
        print.AddKopregel(zel::Variant::Long(1), zel::Variant::Long(1),
                          zel::Variant("Rapport van een ander project"));
        print.AddTekst(zel::Variant::Long(3), zel::Variant::Long(5),
                       zel::Variant("Gedrukt met de geinstalleerde bibliotheek"));
        print.Cls();
    } catch (const zel::VbError& error) {
        std::fprintf(stderr, "client: %s\n", error.what());
        return 1;
    }
    return 0;
}
