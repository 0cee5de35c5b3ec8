#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "gui/Commands.h"
#include "gui/Serve.h"
#include "server/InterfaceReference.h"
#include "server/Introspection.h"
#include "server/PythonMembers.h"

namespace {

int usageError(const QString& message) {
    std::fprintf(stderr, "zelprint: %s (see zelprint --help)\n", qPrintable(message));
    return 2;
}

const char* const kHelp =
    "Usage: zelprint <command> [options]\n"
    "\n"
    "ZelPrintDemo report printing, served on the D-Bus session bus.\n"
    "\n"
    "Commands:\n"
    "  serve [--linger SECONDS] [--offscreen]\n"
    "      Serve ZelPrintDemo.clsPrint on the session bus (D-Bus activation starts this).\n"
    "      --linger SECONDS  stay this long after the last object is released (default 10)\n"
    "      --offscreen       run without a display even when one is available\n"
    "  print [FILE...] [-d DEST] [-n COPIES] [-o NAME=VALUE]... [-t TITLE] [--text] ...\n"
    "      Print the files (standard input without FILE, or for -) in this process as one\n"
    "      job and write where it went (a PDF file, or a CUPS queue and job id). A FILE\n"
    "      ending in .psj is a template, any other plain text.\n"
    "      See zelprint print --help.\n"
    "  interface [DIR | --markdown | --python]\n"
    "      Write the D-Bus interface description (XML) to standard output; with DIR, write\n"
    "      one file per interface into DIR instead (NAME.xml, as installed in\n"
    "      share/dbus-1/interfaces), and ZelPrintDemo.clsPrint.xml with every interface\n"
    "      of a print object. --markdown writes the reference of every member (docs/api.md),\n"
    "      --python the members' module of the Python package.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help\n"
    "  -v, --version  show the version\n";

const char* const kServeHelp =
    "Usage: zelprint serve [--linger SECONDS] [--offscreen]\n"
    "\n"
    "Serve ZelPrintDemo.clsPrint on the D-Bus session bus (D-Bus activation starts this).\n"
    "The server stays while objects are open, while jobs handed to CUPS are followed to their\n"
    "end (at most ten minutes each), and then SECONDS more.\n"
    "\n"
    "Options:\n"
    "  --linger SECONDS  stay this long after the last object is released (default 10)\n"
    "  --offscreen       run without a display even when one is available\n"
    "  -h, --help        show this help\n";

int runServe(const QStringList& arguments, int argc, char** argv) {
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(kServeHelp, stdout);
        return 0;
    }
    QCommandLineParser parser;
    const QCommandLineOption linger(QStringLiteral("linger"), QString(), QStringLiteral("seconds"),
                                    QStringLiteral("10"));
    const QCommandLineOption offscreen(QStringLiteral("offscreen"));
    parser.addOptions({linger, offscreen});
    if (!parser.parse(arguments)) return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first()));
    bool ok = false;
    const int seconds = parser.value(linger).toInt(&ok);
    if (!ok || seconds < 0 || seconds > 86400)
        return usageError(QStringLiteral("--linger takes seconds from 0 to 86400"));
    return zel::serve(argc, argv, {seconds, parser.isSet(offscreen)});
}

// One file per interface, for the code generators (qdbusxml2cpp, gdbus-codegen), and every
// interface of a print object in one file named after the service, which proxy libraries load
// as it is.
int writeInterfaceFiles(const QString& directory) {
    std::vector<std::pair<QString, QString>> files;
    for (const zel::InterfaceDescription& interface : zel::allInterfaces())
        files.emplace_back(interface.name, zel::interfaceDocument({interface}));
    files.emplace_back(zel::Bus::kServiceName, zel::interfaceDocument(zel::objectInterfaces()));
    for (const auto& [name, document] : files) {
        QFile file(directory + QLatin1Char('/') + name + QStringLiteral(".xml"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(document.toUtf8()) < 0 || !file.flush()) {
            std::fprintf(stderr, "zelprint: %s: %s\n", qPrintable(file.fileName()),
                         qPrintable(file.errorString()));
            return 1;
        }
    }
    return 0;
}

int writeOut(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    return 0;
}

}  // namespace

namespace zel {

int runCommand(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const QString command = arguments.value(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (command == QLatin1String("--version") || command == QLatin1String("-v")) {
        std::puts("zelprint " ZELPRINT_VERSION);
        return 0;
    }
    if (command == QLatin1String("serve")) {
        arguments.removeAt(1);
        return runServe(arguments, argc, argv);
    }
    if (command == QLatin1String("interface")) {
        if (argc > 3) return usageError(QStringLiteral("unexpected argument %1").arg(arguments[3]));
        if (arguments.value(2) == QLatin1String("--markdown"))
            return writeOut(zel::interfaceReference());
        if (arguments.value(2) == QLatin1String("--python")) return writeOut(zel::pythonMembers());
        if (argc == 3) return writeInterfaceFiles(arguments[2]);
        return writeOut(zel::interfaceDocument(zel::allInterfaces()));
    }
    if (command.isEmpty()) return usageError(QStringLiteral("a command is needed"));
    return usageError(QStringLiteral("unknown command %1").arg(command));
}

}  // namespace zel
