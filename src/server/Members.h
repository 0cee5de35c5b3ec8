#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

#include "server/NamedArguments.h"
#include "variant/Variant.h"

namespace zel {

class clsPrint;

// The members of clsPrint as the bus offers them (interface ZelPrintDemo._clsPrint). The
// dispatcher and the interface description are both made from these tables, so adding a
// member is one entry here.

enum class ResultKind {
    None,     // no out argument
    Value,    // `v`: a dynamic value
    Boolean,  // `b`
};

// Read members are answered at once, even while a page confirmation is open; held members
// wait for it (see CallHold).
enum class Access { Read, Held };

using Arguments = std::vector<Variant>;  // required arguments, then the optional ones

struct MethodSpec {
    QString name;
    QStringList required;                     // each a `v`
    std::vector<OptionalParameter> optional;  // one trailing `a{sv}` when not empty
    ResultKind result = ResultKind::None;
    Access access = Access::Held;
    std::function<Variant(clsPrint&, Arguments&)> invoke;
    // Required parameters (by index) that the member writes back: each comes back as one more
    // `v` out argument after the result.
    std::vector<int> writtenBack = {};

    QString inSignature() const;
    QString outSignature() const;
};

// A public variable or property: a `v` that can be read and written. get gives the wire value.
struct PropertySpec {
    QString name;
    std::function<QVariant(const clsPrint&)> get;
    std::function<void(clsPrint&, const Variant&)> set;
};

struct SignalSpec {
    QString name;
    std::vector<std::pair<QString, QString>> arguments;  // name, D-Bus type
};

const std::vector<MethodSpec>& clsPrintMethods();
const std::vector<PropertySpec>& clsPrintProperties();
const std::vector<SignalSpec>& clsPrintSignals();

// Lookups by exact name (D-Bus names are case-sensitive); nullptr when there is none.
const MethodSpec* findMethod(const QString& name);
const PropertySpec* findProperty(const QString& name);

}  // namespace zel
