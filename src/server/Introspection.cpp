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
    "  </interface>\n";

QString arg(const QString& name, const QString& type, const char* direction) {
    return QStringLiteral("<arg name=\"%1\" type=\"%2\" direction=\"%3\"/>")
        .arg(name, type, QLatin1String(direction));
}

// The dictionary's name lists the parameters it takes, so that a reader of the description
// sees them.
QString optionsName(const MethodSpec& method) {
    QStringList names;
    for (const OptionalParameter& parameter : method.optional) names << parameter.name;
    return names.join(QLatin1Char('_'));
}

QString methodXml(const MethodSpec& method) {
    QString xml = QStringLiteral("    <method name=\"%1\">").arg(method.name);
    for (const QString& name : method.required) xml += arg(name, QStringLiteral("v"), "in");
    if (!method.optional.empty()) xml += arg(optionsName(method), QStringLiteral("a{sv}"), "in");
    if (method.result != ResultKind::None)
        xml += arg(QStringLiteral("result"), method.outSignature().left(1), "out");
    for (int index : method.writtenBack)
        xml += arg(method.required.at(index), QStringLiteral("v"), "out");
    return xml + QStringLiteral("</method>\n");
}

}  // namespace

QString serverInterfacesXml() {
    return QStringLiteral(
               "  <interface name=\"%1\">\n"
               "    <method name=\"Create\">%2%3</method>\n"
               "  </interface>\n")
        .arg(Bus::kServerInterface, arg(QStringLiteral("options"), QStringLiteral("a{sv}"), "in"),
             arg(QStringLiteral("object"), QStringLiteral("o"), "out"));
}

QString objectInterfacesXml() {
    QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(Bus::kObjectInterface);
    for (const MethodSpec& method : clsPrintMethods()) xml += methodXml(method);
    xml += QStringLiteral("    <method name=\"Release\"/>\n");
    for (const PropertySpec& property : clsPrintProperties())
        xml += QStringLiteral("    <property name=\"%1\" type=\"v\" access=\"readwrite\"/>\n")
                   .arg(property.name);
    xml += QStringLiteral("  </interface>\n  <interface name=\"%1\">\n").arg(Bus::kEventInterface);
    for (const SignalSpec& signal : clsPrintSignals()) {
        xml += QStringLiteral("    <signal name=\"%1\">").arg(signal.name);
        for (const auto& [name, type] : signal.arguments)
            xml += QStringLiteral("<arg name=\"%1\" type=\"%2\"/>").arg(name, type);
        xml += QStringLiteral("</signal>\n");
    }
    return xml + QStringLiteral("  </interface>\n") + batchInterfaceXml();
}

QString introspectionDocument(const QString& interfaces, const QStringList& children) {
    QString xml = QLatin1String(kDoctype) + QStringLiteral("<node>\n") + interfaces +
                  QLatin1String(kStandardInterfaces);
    for (const QString& child : children)
        xml += QStringLiteral("  <node name=\"%1\"/>\n").arg(child);
    return xml + QStringLiteral("</node>\n");
}

QString interfaceFileXml() {
    return QLatin1String(kDoctype) + QStringLiteral("<node>\n") + serverInterfacesXml() +
           objectInterfacesXml() + QStringLiteral("</node>\n");
}

}  // namespace zel
