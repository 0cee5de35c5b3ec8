#pragma once

#include <QString>
#include <QVariantMap>
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

}  // namespace zel
