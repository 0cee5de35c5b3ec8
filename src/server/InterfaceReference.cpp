#include "server/InterfaceReference.h"

#include <QStringList>

#include "server/Introspection.h"
#include "server/Members.h"
#include "variant/VbError.h"

namespace zel {

namespace {

// A table cell holds no line break and no bar.
QString cell(QString text) {
    return text.replace(QLatin1Char('|'), QLatin1String("\\|"));
}

QString row(const QStringList& cells) {
    QStringList escaped;
    for (const QString& text : cells) escaped << cell(text);
    return QStringLiteral("| ") + escaped.join(QStringLiteral(" | ")) + QStringLiteral(" |\n");
}

QString defaultOf(const OptionalParameter& option) {
    if (option.boolean)
        return option.fallback.toBoolean() ? QStringLiteral("true") : QStringLiteral("false");
    if (option.fallback.isMissing() || option.fallback.isEmpty()) return QStringLiteral("omitted");
    return option.fallback.toString();
}

QString resultName(const MethodSpec& method) {
    QString result = method.result == ResultKind::Boolean ? QStringLiteral("Boolean")
                     : method.result == ResultKind::Value ? QStringLiteral("Variant")
                                                          : QStringLiteral("nothing");
    for (int index : method.writtenBack)
        result += QStringLiteral(", then %1 as the call left it")
                      .arg(method.required.at(static_cast<size_t>(index)).name);
    return result;
}

QString wireSignature(const QString& signature) {
    return signature.isEmpty() ? QStringLiteral("nothing") : QStringLiteral("`%1`").arg(signature);
}

QString optionsTable(const std::vector<OptionalParameter>& options) {
    QString text = QStringLiteral("| Key | Type | Default | Meaning |\n|---|---|---|---|\n");
    for (const OptionalParameter& option : options)
        text += row({QStringLiteral("`%1`").arg(option.name), kindName(option.kind),
                     defaultOf(option), option.doc});
    return text;
}

QString methodSection(const MethodSpec& method) {
    QStringList call;
    for (const Parameter& parameter : method.required) call << parameter.name;
    for (const OptionalParameter& parameter : method.optional)
        call << QStringLiteral("[%1]").arg(parameter.name);
    QString text =
        QStringLiteral("### %1\n\n`%1(%2)` → %3 (D-Bus: %4 → %5)\n\n")
            .arg(method.name, call.join(QStringLiteral(", ")), resultName(method),
                 wireSignature(method.inSignature()), wireSignature(method.outSignature()));
    text += method.doc + QStringLiteral("\n\n");
    if (method.required.empty() && method.optional.empty())
        return text + QStringLiteral("No parameters.\n\n");
    text += QStringLiteral("| Parameter | | Type | Default | Meaning |\n|---|---|---|---|---|\n");
    for (const Parameter& parameter : method.required)
        text += row({QStringLiteral("`%1`").arg(parameter.name), QStringLiteral("required"),
                     kindName(parameter.kind), QString(), parameter.doc});
    for (const OptionalParameter& option : method.optional)
        text += row({QStringLiteral("`%1`").arg(option.name), QStringLiteral("optional"),
                     kindName(option.kind), defaultOf(option), option.doc});
    return text + QLatin1Char('\n');
}

QString signalsTable(const std::vector<SignalSpec>& signalList, const QString& interface) {
    QString text;
    for (const SignalSpec& signal : signalList) {
        QStringList arguments;
        for (const SignalArgument& argument : signal.arguments)
            arguments << QStringLiteral("%1 %2").arg(argument.type, argument.name);
        text += QStringLiteral("### %1\n\n`%2.%1(%3)`\n\n%4\n\n")
                    .arg(signal.name, interface, arguments.join(QStringLiteral(", ")), signal.doc);
        text += QStringLiteral("| Argument | D-Bus type | Meaning |\n|---|---|---|\n");
        for (const SignalArgument& argument : signal.arguments)
            text += row({QStringLiteral("`%1`").arg(argument.name),
                         QStringLiteral("`%1`").arg(argument.type), argument.doc});
        text += QLatin1Char('\n');
    }
    return text;
}

const char* const kIntroduction =
    "# The interface reference\n"
    "\n"
    "Every member of a print object with its parameters, their types and defaults, its result "
    "and the errors it gives; the properties, the signals, the options of `Create` and the "
    "error numbers. Made by `zelprint interface --markdown` from the tables that drive the D-Bus "
    "server, so it is what the server does (a test fails when this file and the tables differ). "
    "How to call the members from busctl, gdbus, Python and C is in [dbus.md](dbus.md); the "
    "Python package shows the same signatures and texts (`help(report.AddTekst)`).\n"
    "\n"
    "Types: a parameter travels as a variant; its type is what the member converts it to. "
    "Long: a whole number (32 bits); Number: a number, fractions kept; String: a text (numbers "
    "and dates by their text form); Boolean: true or false (a number: 0 is false); Variant: any "
    "value as it is. An optional parameter goes by name and may be left out: `omitted` means "
    "that the member tells it from a given value (the text says what applies).\n"
    "\n";

}  // namespace

QString interfaceReference() {
    QString text = QLatin1String(kIntroduction);
    text += QStringLiteral("## Calls and errors\n\n%1\n\n").arg(QLatin1String(kObjectDoc));
    text += QStringLiteral(
        "Optional parameters: a key that names no parameter is error 448, a key given twice "
        "error 5; keys match without regard to case.\n\n");

    text += QStringLiteral(
                "## Create\n\n`%1.Create(a{sv} options)` → `o` the new object's path, "
                "`/clsPrint/N`, on the path `/`. The options:\n\n")
                .arg(Bus::kServerInterface);
    text += optionsTable(createOptions()) + QLatin1Char('\n');

    text += QStringLiteral("## Members\n\nInterface `%1` on `/clsPrint/N`.\n\n")
                .arg(Bus::kObjectInterface);
    for (const MethodSpec& method : clsPrintMethods()) text += methodSection(method);
    text += QStringLiteral("### Release\n\n`Release()` → nothing\n\n%1\n\n")
                .arg(QLatin1String(kReleaseDoc));

    text += QStringLiteral(
        "## Properties\n\nRead and written with `org.freedesktop.DBus.Properties`; a `v` property "
        "carries its value as a variant inside the variant.\n\n"
        "| Property | D-Bus type | Type | Meaning |\n|---|---|---|---|\n");
    for (const PropertySpec& property : clsPrintProperties())
        text +=
            row({QStringLiteral("`%1`").arg(property.name),
                 QStringLiteral("`%1`").arg(property.type), kindName(property.kind), property.doc});

    text += QStringLiteral("\n## Signals\n\n");
    text += signalsTable(clsPrintSignals(), Bus::kEventInterface);
    text += signalsTable(jobSignals(), Bus::kJobsInterface);

    text += QStringLiteral(
        "## Error numbers\n\nThe D-Bus error `ZelPrintDemo.ErrorN`, its message `N: text`.\n\n"
        "| N | Text |\n|---|---|\n");
    for (int number : VbError::knownNumbers())
        text += row({QString::number(number), VbError::standardText(number)});
    return text;
}

}  // namespace zel
