#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

#include "server/NamedArguments.h"
#include "server/WireCodec.h"
#include "variant/Variant.h"

namespace zel {

class clsPrint;

// The members of clsPrint as the bus offers them (interface ZelPrintDemo._clsPrint). The
// dispatcher and the interface description, documentation included, are both made from these
// tables, so adding a member is one entry here, with what it and each parameter mean.

enum class ResultKind {
    None,     // no out argument
    Value,    // `v`: a dynamic value
    Boolean,  // `b`
};

// Read members are answered at once, even while a page confirmation is open, from the state the
// object published after its last call; held members run in order on their context's thread.
enum class Access { Read, Held };

using Arguments = std::vector<Variant>;  // required arguments, then the optional ones

// A named argument, what it means and what the member converts it to.
struct Parameter {
    QString name;
    QString doc;
    ArgKind kind = ArgKind::Any;
};

struct MethodSpec {
    QString name;
    QString doc;                              // what it does, returns, and the errors it gives
    std::vector<Parameter> required;          // each a `v`
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

// A public variable or property, read and written. Those of a fixed type travel as that type;
// the dynamic ones are `v` and so, as D-Bus has it for a `v` property, carry their value as a
// variant inside the variant.
struct PropertySpec {
    QString name;
    QString type;  // the D-Bus type: "i", "n", "b" or "v"
    std::function<Variant(const clsPrint&)> read;
    std::function<void(clsPrint&, const Variant&)> write;
    QVariant (*encode)(const Variant&) = toWire;  // the value's wire form
    QString doc = {};
    ArgKind kind = ArgKind::Any;  // what a `v` property's value is converted to

    // The value as the variant of Get, GetAll and PropertiesChanged holds it.
    QVariant wire(const clsPrint& print) const;
};

struct SignalArgument {
    QString name;
    QString type;  // the D-Bus type
    QString doc = {};
};

struct SignalSpec {
    QString name;
    std::vector<SignalArgument> arguments;
    QString doc = {};
};

const std::vector<MethodSpec>& clsPrintMethods();
const std::vector<PropertySpec>& clsPrintProperties();
const std::vector<SignalSpec>& clsPrintSignals();
// The signal of interface ZelPrintDemo.Jobs on each print object.
const std::vector<SignalSpec>& jobSignals();
// The options of ZelPrintDemo.Server.Create.
const std::vector<OptionalParameter>& createOptions();

// What Release does: it ends the object on the bus and so has no entry among clsPrint's members.
extern const char* const kReleaseDoc;

// Lookups by exact name (D-Bus names are case-sensitive); nullptr when there is none.
const MethodSpec* findMethod(const QString& name);
const PropertySpec* findProperty(const QString& name);

}  // namespace zel
