#include "server/NamedArguments.h"

#include "server/WireCodec.h"
#include "variant/VbError.h"

namespace zel {

std::vector<Variant> namedArguments(const QVariantMap& given,
                                    const std::vector<OptionalParameter>& declared) {
    const QList<QVariant> values = given.values();
    return namedArguments(
        given.keys(), [&values](qsizetype index) { return fromWire(values.at(index)); }, declared);
}

std::vector<Variant> namedArguments(const QStringList& names,
                                    const std::function<Variant(qsizetype)>& value,
                                    const std::vector<OptionalParameter>& declared) {
    std::vector<Variant> values;
    values.reserve(declared.size());
    std::vector<bool> named(declared.size(), false);
    for (const OptionalParameter& parameter : declared) values.push_back(parameter.fallback);
    for (qsizetype given = 0; given < names.size(); ++given) {
        const QString& name = names[given];
        size_t index = 0;
        while (index < declared.size() &&
               declared[index].name.compare(name, Qt::CaseInsensitive) != 0)
            ++index;
        if (index == declared.size())
            throw VbError(
                VbErr::NamedArgumentNotFound,
                VbError::standardText(VbErr::NamedArgumentNotFound) + ": " + shownInError(name));
        const OptionalParameter& parameter = declared[index];
        if (named[index])
            throw namingArgument(VbError(VbErr::InvalidProcedureCall), "argument", parameter.name,
                                 QStringLiteral("once"));
        named[index] = true;
        try {
            const Variant converted = value(given);
            values[index] = parameter.boolean ? Variant::Boolean(converted.toBoolean()) : converted;
        } catch (const VbError& error) {
            throw namingArgument(error, "argument", parameter.name, kindName(parameter.kind));
        }
    }
    return values;
}

}  // namespace zel
