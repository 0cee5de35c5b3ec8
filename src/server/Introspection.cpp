#include "server/Introspection.h"

#include "server/BatchRun.h"
#include "server/ClientAccounts.h"
#include "server/Members.h"
#include "variant/VbError.h"

namespace zel {

namespace {

const char* const kDoctype =
    "<!DOCTYPE node PUBLIC \"-//freedesktop//DTD D-BUS Object Introspection 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd\">\n";

const char* const kStandardInterfaces =
    "  <interface name=\"org.freedesktop.DBus.Introspectable\">\n"
    "    <method name=\"Introspect\"><arg name=\"xml_data\" type=\"s\" direction=\"out\"/>"
    "</method>\n"
    "  </interface>\n"
    "  <interface name=\"org.freedesktop.DBus.Peer\">\n"
    "    <method name=\"Ping\"/>\n"
    "    <method name=\"GetMachineId\"><arg name=\"machine_uuid\" type=\"s\" "
    "direction=\"out\"/></method>\n"
    "  </interface>\n"
    "  <interface name=\"org.freedesktop.DBus.Properties\">\n"
    "    <method name=\"Get\"><arg name=\"interface_name\" type=\"s\" direction=\"in\"/>"
    "<arg name=\"property_name\" type=\"s\" direction=\"in\"/>"
    "<arg name=\"value\" type=\"v\" direction=\"out\"/></method>\n"
    "    <method name=\"Set\"><arg name=\"interface_name\" type=\"s\" direction=\"in\"/>"
    "<arg name=\"property_name\" type=\"s\" direction=\"in\"/>"
    "<arg name=\"value\" type=\"v\" direction=\"in\"/></method>\n"
    "    <method name=\"GetAll\"><arg name=\"interface_name\" type=\"s\" direction=\"in\"/>"
    "<arg name=\"values\" type=\"a{sv}\" direction=\"out\"/></method>\n"
    "    <signal name=\"PropertiesChanged\"><arg name=\"interface_name\" type=\"s\"/>"
    "<arg name=\"changed_properties\" type=\"a{sv}\"/>"
    "<arg name=\"invalidated_properties\" type=\"as\"/></signal>\n"
    "  </interface>\n";

QString annotation(const QString& name, const QString& value) {
    return QStringLiteral("<annotation name=\"%1\" value=\"%2\"/>")
        .arg(name, value.toHtmlEscaped());
}

// The documentation that introspection tools show (gdbus introspect, d-feet) and proxy
// libraries keep.
QString docString(const QString& text) {
    return annotation(QStringLiteral("org.freedesktop.DBus.DocString"), text);
}

// An argument of a method (direction "in" or "out") or of a signal (no direction).
QString arg(const QString& name, const QString& type, const char* direction,
            const QString& doc = {}) {
    QString head = QStringLiteral("<arg name=\"%1\" type=\"%2\"").arg(name, type);
    if (direction) head += QStringLiteral(" direction=\"%1\"").arg(QLatin1String(direction));
    return doc.isEmpty() ? head + QStringLiteral("/>")
                         : head + QLatin1Char('>') + docString(doc) + QStringLiteral("</arg>");
}

// A dictionary of optional arguments documents each key: its name, kind, default and meaning.
QString optionsDoc(const std::vector<OptionalParameter>& options) {
    QStringList keys;
    for (const OptionalParameter& option : options) {
        QString kind;
        if (option.boolean)
            kind = QStringLiteral(" (Boolean, default %1)")
                       .arg(option.fallback.toBoolean() ? QLatin1String("true")
                                                        : QLatin1String("false"));
        else if (!option.fallback.isMissing() && !option.fallback.isEmpty())
            kind = QStringLiteral(" (default %1)").arg(option.fallback.toString());
        keys << option.name + kind + QStringLiteral(": ") + option.doc;
    }
    return QStringLiteral(
               "Optional arguments by name, each a variant; keys match without "
               "regard to case, an omitted key takes its default, an unknown key "
               "is error 448, a key given twice error 5. ") +
           keys.join(QStringLiteral("; ")) + QLatin1Char('.');
}

// qdbusxml2cpp knows no C++ type for a dictionary by itself.
QString qtTypeOfInput(int index) {
    return annotation(QStringLiteral("org.qtproject.QtDBus.QtTypeName.In%1").arg(index),
                      QStringLiteral("QVariantMap"));
}

// gdbus-codegen makes C names from the interface's name, which for `_clsPrint` and
// `__clsPrint` differ by one underscore; each interface names its own.
QString interfaceXml(const QString& name, const char* cName, const QString& doc,
                     const QString& members) {
    return QStringLiteral("  <interface name=\"%1\">\n    %2\n    %3\n%4  </interface>\n")
        .arg(name, annotation(QStringLiteral("org.gtk.GDBus.C.Name"), QLatin1String(cName)),
             docString(doc), members);
}

// Every error number with its text, as annotations named like the D-Bus error itself
// (ZelPrintDemo.Error13 = "Type mismatch"), so that a program reads them from the file.
QString errorAnnotations() {
    QString xml;
    for (int number : VbError::knownNumbers())
        xml += QStringLiteral("    %1\n")
                   .arg(annotation(QStringLiteral("ZelPrintDemo.Error%1").arg(number),
                                   VbError::standardText(number)));
    return xml;
}

}  // namespace

const char* const kObjectDoc =
    "The members of a clsPrint. Required parameters are variants: b Boolean, n Integer, i "
    "Long, d Double, s String, (s) 'Empty' or 'Null', (sd) 'Date' and the days since 30 "
    "December 1899, (sx) 'Currency' and the amount in ten-thousandths; optional ones go by name "
    "in the trailing a{sv}. A run-time error is the D-Bus error ZelPrintDemo.ErrorN with the "
    "text 'N: text' (the annotations ZelPrintDemo.ErrorN name every number); any argument can "
    "give 13 (a value of the wrong kind), 94 (Null where a number or text is needed), 6 (a "
    "number out of range) and 7 (a text past 1 048 576 characters), and the text then names "
    "it: '13: Type mismatch (argument Regel, expected Long)'. In the screen modes a call that "
    "ends a page waits for the user's confirmation: call without a reply timeout.";

namespace {

// The dictionary's name lists the parameters it takes, so that a reader of the description
// sees them.
QString optionsName(const MethodSpec& method) {
    QStringList names;
    for (const OptionalParameter& parameter : method.optional) names << parameter.name;
    return names.join(QLatin1Char('_'));
}

// A parameter that is written back comes out under its own name with "_out": generated C and
// C++ take the arguments of both directions as parameters of one function.
QString methodXml(const MethodSpec& method) {
    QString xml =
        QStringLiteral("    <method name=\"%1\">").arg(method.name) + docString(method.doc);
    for (const Parameter& parameter : method.required)
        xml += arg(parameter.name, QStringLiteral("v"), "in", parameter.doc);
    if (!method.optional.empty())
        xml +=
            arg(optionsName(method), QStringLiteral("a{sv}"), "in", optionsDoc(method.optional)) +
            qtTypeOfInput(static_cast<int>(method.required.size()));
    if (method.result != ResultKind::None)
        xml += arg(QStringLiteral("result"), method.outSignature().left(1), "out",
                   method.result == ResultKind::Boolean ? QStringLiteral("the result, Boolean")
                                                        : QStringLiteral("the result, a variant"));
    for (int index : method.writtenBack) {
        const Parameter& parameter = method.required.at(static_cast<size_t>(index));
        xml += arg(parameter.name + QStringLiteral("_out"), QStringLiteral("v"), "out",
                   QStringLiteral("%1, as the call left it").arg(parameter.name));
    }
    return xml + QStringLiteral("</method>\n");
}

QString signalsXml(const std::vector<SignalSpec>& signalList) {
    QString xml;
    for (const SignalSpec& signal : signalList) {
        xml += QStringLiteral("    <signal name=\"%1\">").arg(signal.name) + docString(signal.doc);
        for (const SignalArgument& argument : signal.arguments)
            xml += arg(argument.name, argument.type, nullptr, argument.doc);
        xml += QStringLiteral("</signal>\n");
    }
    return xml;
}

QString objectMembersXml() {
    QString xml;
    for (const MethodSpec& method : clsPrintMethods()) xml += methodXml(method);
    xml += QStringLiteral("    <method name=\"Release\">%1</method>\n")
               .arg(docString(QLatin1String(kReleaseDoc)));
    for (const PropertySpec& property : clsPrintProperties())
        xml += QStringLiteral(
                   "    <property name=\"%1\" type=\"%2\" access=\"readwrite\">%3"
                   "</property>\n")
                   .arg(property.name, property.type, docString(property.doc));
    return xml + errorAnnotations();
}

// Run(a(sava{sv}) calls) -> (av results, i failedIndex, s error). Generated Qt code takes the
// calls as a QDBusArgument the client builds (an array of structs has no Qt type of its own).
QString batchMembersXml() {
    return QStringLiteral("    <method name=\"Run\">%1%2%3%4%5%6</method>\n")
        .arg(docString(QStringLiteral(
                 "Runs many member calls of ZelPrintDemo._clsPrint in order, as if sent one by "
                 "one, and stops at the first error. Release is not taken; at most 100 000 calls "
                 "(error 7 for the whole batch).")),
             arg(QStringLiteral("calls"), kBatchRunSignature, "in",
                 QStringLiteral("each (member, required arguments, optional arguments by name); "
                                "438 for an unknown member, 450 for a wrong number of "
                                "required arguments")),
             annotation(QStringLiteral("org.qtproject.QtDBus.QtTypeName.In0"),
                        QStringLiteral("QDBusArgument")),
             arg(QStringLiteral("results"), QStringLiteral("av"), "out",
                 QStringLiteral("one result per call that ran, Empty for a member without one")),
             arg(QStringLiteral("failedIndex"), QStringLiteral("i"), "out",
                 QStringLiteral("the failed call's index from 0, or -1 when all ran")),
             arg(QStringLiteral("error"), QStringLiteral("s"), "out",
                 QStringLiteral("the failed call's error as 'N: text', or ''")));
}

QString document(const QString& body) {
    return QLatin1String(kDoctype) + QStringLiteral("<node>\n") + body +
           QStringLiteral("</node>\n");
}

}  // namespace

std::vector<InterfaceDescription> serverInterfaces() {
    const QString create =
        QStringLiteral("    <method name=\"Create\">%1%2%3%4</method>\n")
            .arg(docString(QStringLiteral("Creates a clsPrint at /clsPrint/N; creating one ends "
                                          "the job in progress of the print context it joins "
                                          "(see Group); 67 when the calling connection has "
                                          "made %1 print contexts that are still open, or the "
                                          "server keeps its last descriptors for open jobs.")
                               .arg(ClientAccounts::kMaxContexts)),
                 arg(QStringLiteral("options"), QStringLiteral("a{sv}"), "in",
                     optionsDoc(createOptions())),
                 qtTypeOfInput(0),
                 arg(QStringLiteral("object_path"), QStringLiteral("o"), "out",
                     QStringLiteral("the new object's path")));
    return {{Bus::kServerInterface,
             interfaceXml(Bus::kServerInterface, "Server",
                          QStringLiteral("The print server: creates the print objects."), create)}};
}

std::vector<InterfaceDescription> objectInterfaces() {
    return {
        {Bus::kObjectInterface, interfaceXml(Bus::kObjectInterface, "PrintObject",
                                             QLatin1String(kObjectDoc), objectMembersXml())},
        {Bus::kEventInterface,
         interfaceXml(Bus::kEventInterface, "PrintEvents",
                      QStringLiteral("The events of a clsPrint."), signalsXml(clsPrintSignals()))},
        {Bus::kJobsInterface, interfaceXml(Bus::kJobsInterface, "Jobs",
                                           QStringLiteral("Where the jobs of a print object went."),
                                           signalsXml(jobSignals()))},
        {Bus::kBatchInterface,
         interfaceXml(Bus::kBatchInterface, "Batch",
                      QStringLiteral("Many member calls in one message."), batchMembersXml())},
    };
}

std::vector<InterfaceDescription> allInterfaces() {
    std::vector<InterfaceDescription> all = serverInterfaces();
    for (InterfaceDescription& interface : objectInterfaces()) all.push_back(std::move(interface));
    return all;
}

QString introspectionDocument(const std::vector<InterfaceDescription>& interfaces,
                              const QStringList& children) {
    QString body;
    for (const InterfaceDescription& interface : interfaces) body += interface.xml;
    body += QLatin1String(kStandardInterfaces);
    for (const QString& child : children)
        body += QStringLiteral("  <node name=\"%1\"/>\n").arg(child);
    return document(body);
}

QString interfaceDocument(const std::vector<InterfaceDescription>& interfaces) {
    QString body;
    for (const InterfaceDescription& interface : interfaces) body += interface.xml;
    return document(body);
}

}  // namespace zel
