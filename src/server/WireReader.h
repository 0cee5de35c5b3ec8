#pragma once

#include <dbus/dbus.h>

#include "variant/Variant.h"

namespace zel {

// A value as received, read straight from the bus library's message rather than from the variants
// QtDBus would make of it: the same mapping as fromWire (see WireCodec.h), the same errors. The
// iterator is at a `v`; it is not moved.
Variant readWireVariant(const DBusMessageIter& variant);

// The text of a string at the iterator.
QString readWireString(DBusMessageIter& text);

}  // namespace zel
