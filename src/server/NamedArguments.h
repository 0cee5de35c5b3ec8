#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <vector>

#include "server/ArgumentKind.h"
#include "variant/Variant.h"

namespace zel {

// An optional parameter as declared: its name, the value that applies when it is omitted
// (Missing when the declaration has no default), whether it is a typed Boolean parameter,
// whose wire value is converted with toBoolean, what it means (the interface description's
// documentation of the key) and what the member converts it to.
struct OptionalParameter {
    QString name;
    Variant fallback = Variant::Missing();
    bool boolean = false;
    QString doc = {};
    ArgKind kind = ArgKind::Any;
};

// The optional arguments of one call, given as a dictionary keyed by parameter name. Keys match
// without regard to case, as named arguments do; an omitted key gives the declared default; a
// key that names no parameter is 448, and a parameter named twice is 5. The result holds one
// value per declared parameter, in declaration order.
std::vector<Variant> namedArguments(const QVariantMap& given,
                                    const std::vector<OptionalParameter>& declared);

// The same for a dictionary read straight from the message: its keys in the order a QVariantMap
// keeps them (sorted, each once, the last value of a key repeated standing), each value converted
// by value(index) only when it is taken.
std::vector<Variant> namedArguments(const QStringList& names,
                                    const std::function<Variant(qsizetype)>& value,
                                    const std::vector<OptionalParameter>& declared);

}  // namespace zel
