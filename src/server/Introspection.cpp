#include "server/Introspection.h"

#include "server/BatchRun.h"
#include "server/Members.h"

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

QString arg(const QString& name, const QString& type, const char* direction) {
    return QStringLiteral("<arg name=\"%1\" type=\"%2\" direction=\"%3\"/>")
        .arg(name, type, QLatin1String(direction));
}

QString annotation(const QString& name, const QString& value) {
    return QStringLiteral("<annotation name=\"%1\" value=\"%2\"/>").arg(name, value);
}

// qdbusxml2cpp knows no C++ type for a dictionary by itself.
QString qtTypeOfInput(int index) {
    return annotation(QStringLiteral("org.qtproject.QtDBus.QtTypeName.In%1").arg(index),
                      QStringLiteral("QVariantMap"));
}

// gdbus-codegen makes C names from the interface's name, which for `_clsPrint` and
// `__clsPrint` differ by one underscore; each interface names its own.
QString interfaceXml(const QString& name, const char* cName, const QString& members) {
    return QStringLiteral("  <interface name=\"%1\">\n    %2\n%3  </interface>\n")
        .arg(name, annotation(QStringLiteral("org.gtk.GDBus.C.Name"), QLatin1String(cName)),
             members);
}

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
    QString xml = QStringLiteral("    <method name=\"%1\">").arg(method.name);
    for (const QString& name : method.required) xml += arg(name, QStringLiteral("v"), "in");
    if (!method.optional.empty())
        xml += arg(optionsName(method), QStringLiteral("a{sv}"), "in") +
               qtTypeOfInput(static_cast<int>(method.required.size()));
    if (method.result != ResultKind::None)
        xml += arg(QStringLiteral("result"), method.outSignature().left(1), "out");
    for (int index : method.writtenBack)
        xml += arg(method.required.at(index) + QStringLiteral("_out"), QStringLiteral("v"), "out");
    return xml + QStringLiteral("</method>\n");
}

QString signalsXml(const std::vector<SignalSpec>& signalList) {
    QString xml;
    for (const SignalSpec& signal : signalList) {
        xml += QStringLiteral("    <signal name=\"%1\">").arg(signal.name);
        for (const auto& [name, type] : signal.arguments)
            xml += QStringLiteral("<arg name=\"%1\" type=\"%2\"/>").arg(name, type);
        xml += QStringLiteral("</signal>\n");
    }
    return xml;
}

QString objectMembersXml() {
    QString xml;
    for (const MethodSpec& method : clsPrintMethods()) xml += methodXml(method);
    xml += QStringLiteral("    <method name=\"Release\"/>\n");
    for (const PropertySpec& property : clsPrintProperties())
        xml += QStringLiteral("    <property name=\"%1\" type=\"%2\" access=\"readwrite\"/>\n")
                   .arg(property.name, property.type);
    return xml;
}

// Run(a(sava{sv}) calls) -> (av results, i failedIndex, s error). Generated Qt code takes the
// calls as a QDBusArgument the client builds (an array of structs has no Qt type of its own).
QString batchMembersXml() {
    return QStringLiteral("    <method name=\"Run\">%1%2%3%4%5</method>\n")
        .arg(arg(QStringLiteral("calls"), kBatchRunSignature, "in"),
             annotation(QStringLiteral("org.qtproject.QtDBus.QtTypeName.In0"),
                        QStringLiteral("QDBusArgument")),
             arg(QStringLiteral("results"), QStringLiteral("av"), "out"),
             arg(QStringLiteral("failedIndex"), QStringLiteral("i"), "out"),
             arg(QStringLiteral("error"), QStringLiteral("s"), "out"));
}

QString document(const QString& body) {
    return QLatin1String(kDoctype) + QStringLiteral("<node>\n") + body +
           QStringLiteral("</node>\n");
}

}  // namespace

std::vector<InterfaceDescription> serverInterfaces() {
    const QString create =
        QStringLiteral("    <method name=\"Create\">%1%2%3</method>\n")
            .arg(arg(QStringLiteral("options"), QStringLiteral("a{sv}"), "in"), qtTypeOfInput(0),
                 arg(QStringLiteral("object_path"), QStringLiteral("o"), "out"));
    return {{Bus::kServerInterface, interfaceXml(Bus::kServerInterface, "Server", create)}};
}

std::vector<InterfaceDescription> objectInterfaces() {
    return {
        {Bus::kObjectInterface,
         interfaceXml(Bus::kObjectInterface, "PrintObject", objectMembersXml())},
        {Bus::kEventInterface,
         interfaceXml(Bus::kEventInterface, "PrintEvents", signalsXml(clsPrintSignals()))},
        {Bus::kJobsInterface, interfaceXml(Bus::kJobsInterface, "Jobs", signalsXml(jobSignals()))},
        {Bus::kBatchInterface, interfaceXml(Bus::kBatchInterface, "Batch", batchMembersXml())},
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
