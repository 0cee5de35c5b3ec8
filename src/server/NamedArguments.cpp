#include "server/NamedArguments.h"

#include "server/WireCodec.h"
#include "variant/VbError.h"

namespace zel {

std::vector<Variant> namedArguments(const QVariantMap& given,
                                    const std::vector<OptionalParameter>& declared) {
    std::vector<Variant> values;
    std::vector<bool> named(declared.size(), false);
    for (const OptionalParameter& parameter : declared) values.push_back(parameter.fallback);
    for (auto it = given.cbegin(); it != given.cend(); ++it) {
        size_t index = 0;
        while (index < declared.size() &&
               declared[index].name.compare(it.key(), Qt::CaseInsensitive) != 0)
            ++index;
        if (index == declared.size())
            throw VbError(VbErr::NamedArgumentNotFound,
                          VbError::standardText(VbErr::NamedArgumentNotFound) + ": " +
                              shownInError(it.key()));
        const OptionalParameter& parameter = declared[index];
        if (named[index])
            throw namingArgument(VbError(VbErr::InvalidProcedureCall), "argument", parameter.name,
                                 QStringLiteral("once"));
        named[index] = true;
        try {
            const Variant value = fromWire(it.value());
            values[index] = parameter.boolean ? Variant::Boolean(value.toBoolean()) : value;
        } catch (const VbError& error) {
            throw namingArgument(error, "argument", parameter.name, kindName(parameter.kind));
        }
    }
    return values;
}

}  // namespace zel
