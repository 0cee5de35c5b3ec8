#pragma once

#include <QString>

#include "server/Introspection.h"

namespace zel {

// The object number of a path `/clsPrint/N`, or 0.
inline int objectId(const QString& path) {
    if (!path.startsWith(Bus::kObjectPathPrefix)) return 0;
    bool ok = false;
    const int id = path.mid(Bus::kObjectPathPrefix.size()).toInt(&ok);
    return ok && id > 0 && QString::number(id) == path.mid(Bus::kObjectPathPrefix.size()) ? id : 0;
}

inline QString objectPath(int id) {
    return Bus::kObjectPathPrefix + QString::number(id);
}

}  // namespace zel
