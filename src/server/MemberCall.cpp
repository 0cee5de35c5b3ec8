#include "server/MemberCall.h"

#include "server/WireCodec.h"

#include <QDBusVariant>

namespace zel {

Variant callMember(clsPrint& print, const MethodSpec& method, const QList<QVariant>& required,
                   const QVariantMap& options, Arguments& args) {
    args.clear();
    for (const QVariant& argument : required) args.push_back(fromWireArgument(argument));
    if (!method.optional.empty()) {
        const std::vector<Variant> optional = namedArguments(options, method.optional);
        args.insert(args.end(), optional.begin(), optional.end());
    }
    return method.invoke(print, args);
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
