#pragma once

#include <QVariantMap>

#include "surface/JobOptions.h"

namespace zel {

// Takes the Create options JobOptions (a{ss}: CUPS option names and values) and Title (s) out of
// the options given, whatever the case of their keys; 13 for a value of another type.
JobOptions takeJobOptions(QVariantMap& given);

}  // namespace zel
