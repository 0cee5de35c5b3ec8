#pragma once

#include <QString>

namespace zel {

// The reference of the interface in Markdown (docs/api.md), made from the member tables that
// drive the bus: every member with its parameters, their kinds and defaults, its result and
// errors; the properties, the signals, Create's options and the error numbers.
QString interfaceReference();

}  // namespace zel
