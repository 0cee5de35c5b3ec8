#include "server/ArgumentKind.h"

namespace zel {

QString kindName(ArgKind kind) {
    switch (kind) {
        case ArgKind::Long:
            return QStringLiteral("Long");
        case ArgKind::Number:
            return QStringLiteral("Number");
        case ArgKind::Text:
            return QStringLiteral("String");
        case ArgKind::Boolean:
            return QStringLiteral("Boolean");
        case ArgKind::Any:
            break;
    }
    return QStringLiteral("Variant");
}

void convertAs(const Variant& value, ArgKind kind) {
    switch (kind) {
        case ArgKind::Long:
            value.toLong();
            break;
        case ArgKind::Number:
            value.toDouble();
            break;
        case ArgKind::Text:
            value.toString();
            break;
        case ArgKind::Boolean:
            value.toBoolean();
            break;
        case ArgKind::Any:
            break;
    }
}

VbError namingArgument(const VbError& error, const char* what, const QString& name,
                       const QString& expected) {
    return VbError(error.number(),
                   QStringLiteral("%1 (%2 %3, expected %4)")
                       .arg(error.description(), QLatin1String(what), name, expected));
}

VbError namingFailedArgument(const VbError& error, const std::vector<Variant>& args,
                             const std::vector<DeclaredArgument>& declared) {
    for (size_t i = 0; i < args.size() && i < declared.size(); ++i) {
        if (args[i].isMissing()) continue;
        try {
            convertAs(args[i], declared[i].kind);
        } catch (const VbError& failed) {
            if (failed.number() == error.number())
                return namingArgument(error, "argument", declared[i].name,
                                      kindName(declared[i].kind));
        }
    }
    return error;
}

}  // namespace zel
