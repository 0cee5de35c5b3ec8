#include "server/MemberCall.h"

#include "server/WireCodec.h"
#include "variant/VbError.h"

#include <QDBusVariant>

namespace zel {

Variant callMember(clsPrint& print, const MethodSpec& method, const QList<QVariant>& required,
                   const QVariantMap& options, Arguments& args) {
    args.clear();
    std::vector<DeclaredArgument> declared;
    for (const Parameter& parameter : method.required)
        declared.push_back({parameter.name, parameter.kind});
    for (const OptionalParameter& parameter : method.optional)
        declared.push_back({parameter.name, parameter.kind});
    for (const QVariant& argument : required) {
        const DeclaredArgument& parameter = declared.at(args.size());
        try {
            args.push_back(fromWireArgument(argument));
        } catch (const VbError& error) {
            throw namingArgument(error, "argument", parameter.name, kindName(parameter.kind));
        }
    }
    if (!method.optional.empty()) {
        const std::vector<Variant> optional = namedArguments(options, method.optional);
        args.insert(args.end(), optional.begin(), optional.end());
    }
    try {
        return method.invoke(print, args);
    } catch (const VbError& error) {
        throw namingFailedArgument(error, args, declared);
    }
}

QVariant resultToWire(const MethodSpec& method, const Variant& result) {
    switch (method.result) {
        case ResultKind::Value:
            return QVariant::fromValue(QDBusVariant(toWire(result)));
        case ResultKind::Boolean:
            return result.toBoolean();
        case ResultKind::None:
            break;
    }
    return {};
}

}  // namespace zel
