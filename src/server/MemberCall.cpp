#include "server/MemberCall.h"

#include "server/WireCodec.h"
#include "variant/VbError.h"

#include <QDBusVariant>
#include <iterator>

namespace zel {

namespace {

std::vector<DeclaredArgument> declaredArguments(const MethodSpec& method) {
    std::vector<DeclaredArgument> declared;
    for (const Parameter& parameter : method.required)
        declared.push_back({parameter.name, parameter.kind});
    for (const OptionalParameter& parameter : method.optional)
        declared.push_back({parameter.name, parameter.kind});
    return declared;
}

}  // namespace

Variant WireArguments::nextRequired() {
    return fromWireArgument(required_.at(next_++));
}

std::vector<Variant> WireArguments::optional(const std::vector<OptionalParameter>& declared) {
    return namedArguments(options_, declared);
}

Variant callMember(clsPrint& print, const MethodSpec& method, CallArguments& given,
                   Arguments& args) {
    args.clear();
    const size_t required = given.requiredCount();
    for (size_t index = 0; index < required; ++index) {
        try {
            args.push_back(given.nextRequired());
        } catch (const VbError& error) {
            const Parameter& parameter = method.required.at(index);
            throw namingArgument(error, "argument", parameter.name, kindName(parameter.kind));
        }
    }
    if (!method.optional.empty()) {
        std::vector<Variant> optional = given.optional(method.optional);
        args.insert(args.end(), std::make_move_iterator(optional.begin()),
                    std::make_move_iterator(optional.end()));
    }
    try {
        return method.invoke(print, args);
    } catch (const VbError& error) {
        throw namingFailedArgument(error, args, declaredArguments(method));
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
