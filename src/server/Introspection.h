#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace zel {

// D-Bus names of the service.
namespace Bus {
inline const QString kServiceName = QStringLiteral("ZelPrintDemo.clsPrint");
inline const QString kServerInterface = QStringLiteral("ZelPrintDemo.Server");
inline const QString kObjectInterface = QStringLiteral("ZelPrintDemo._clsPrint");
inline const QString kEventInterface = QStringLiteral("ZelPrintDemo.__clsPrint");
inline const QString kJobsInterface = QStringLiteral("ZelPrintDemo.Jobs");
inline const QString kObjectPathPrefix = QStringLiteral("/clsPrint/");
}  // namespace Bus

// What the interface of a print object takes and gives, in general: the kinds of values, the
// errors any call can give.
extern const char* const kObjectDoc;

// One interface as the introspection and the installed interface files describe it.
struct InterfaceDescription {
    QString name;
    QString xml;  // its <interface> element
};

// The interfaces of the server object (`/`) and of a print object, made from the member
// tables, with the annotations the code generators need (Qt's type names for dictionaries,
// distinct C names for GDBus).
std::vector<InterfaceDescription> serverInterfaces();
std::vector<InterfaceDescription> objectInterfaces();
// Both of them: every interface the service offers.
std::vector<InterfaceDescription> allInterfaces();

// A whole introspection document for one path: its own interfaces, the standard ones and the
// child nodes.
QString introspectionDocument(const std::vector<InterfaceDescription>& interfaces,
                              const QStringList& children);

// A document of the given interfaces alone, as installed (one file per interface).
QString interfaceDocument(const std::vector<InterfaceDescription>& interfaces);

}  // namespace zel
