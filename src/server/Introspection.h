#pragma once

#include <QString>
#include <QStringList>

namespace zel {

// D-Bus names of the service.
namespace Bus {
inline const QString kServiceName = QStringLiteral("ZelPrintDemo.clsPrint");
inline const QString kServerInterface = QStringLiteral("ZelPrintDemo.Server");
inline const QString kObjectInterface = QStringLiteral("ZelPrintDemo._clsPrint");
inline const QString kEventInterface = QStringLiteral("ZelPrintDemo.__clsPrint");
inline const QString kObjectPathPrefix = QStringLiteral("/clsPrint/");
}  // namespace Bus

// The interface elements of the server object (`/`) and of a print object, made from the
// member tables.
QString serverInterfacesXml();
QString objectInterfacesXml();

// A whole introspection document for one path: its own interfaces, the standard ones and the
// child nodes.
QString introspectionDocument(const QString& interfaces, const QStringList& children);

// The description installed with the service: every interface the service offers.
QString interfaceFileXml();

}  // namespace zel
