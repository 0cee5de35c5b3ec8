#pragma once

#include <QList>
#include <QVariant>
#include <QVariantMap>

#include "server/Members.h"

namespace zel {

// One member call with its arguments as they came over the bus: the required `v`s, then the
// dictionary of optional ones (ignored for a member without optional parameters). The
// converted arguments are left in args, so that written-back parameters can be returned.
Variant callMember(clsPrint& print, const MethodSpec& method, const QList<QVariant>& required,
                   const QVariantMap& options, Arguments& args);

// The member's result as its out argument: `v` or `b`; invalid for a member without result.
QVariant resultToWire(const MethodSpec& method, const Variant& result);

}  // namespace zel
