#pragma once

#include "variant/Variant.h"

namespace zel {

// The output mode as every operation compares it: upper-cased; anything else draws nothing.
enum class OutputMode { Screen, Printer, Both, None };

inline OutputMode outputMode(const Variant& UitvoerMode) {
    const QString code = UitvoerMode.toString().toUpper();
    if (code == QLatin1String("S")) return OutputMode::Screen;
    if (code == QLatin1String("P")) return OutputMode::Printer;
    if (code == QLatin1String("PS")) return OutputMode::Both;
    return OutputMode::None;
}

inline bool drawsOnScreen(OutputMode m) {
    return m == OutputMode::Screen || m == OutputMode::Both;
}
inline bool drawsOnPrinter(OutputMode m) {
    return m == OutputMode::Printer || m == OutputMode::Both;
}

}  // namespace zel
