#pragma once

#include <QString>

namespace zel {

// The Python module of the client package (clients/python/zelprint/members.py) made from the
// member tables: every member as a method with its real signature (required parameters by
// position, optional ones by keyword with their defaults, types as annotations) and its
// documentation, every property as a typed attribute, so that help(), inspect.signature and
// editors show them without a server.
QString pythonMembers();

}  // namespace zel
