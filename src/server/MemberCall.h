#pragma once

#include <QList>
#include <QVariant>
#include <QVariantMap>

#include "server/Members.h"

namespace zel {

// A call's arguments as they came over the bus, converted one at a time as the member call takes
// them, so that the first that fails is the one named: the required ones in order, then the
// optional ones by name.
class CallArguments {
public:
    virtual ~CallArguments() = default;
    virtual size_t requiredCount() const = 0;
    // The next required argument, converted.
    virtual Variant nextRequired() = 0;
    // One value per declared optional parameter (see namedArguments).
    virtual std::vector<Variant> optional(const std::vector<OptionalParameter>& declared) = 0;
};

// The arguments as QtDBus gives them: the required `v`s, then the dictionary of optional ones
// (empty for a member without optional parameters).
class WireArguments : public CallArguments {
public:
    WireArguments(QList<QVariant> required, QVariantMap options)
        : required_(std::move(required)), options_(std::move(options)) {}
    size_t requiredCount() const override { return size_t(required_.size()); }
    Variant nextRequired() override;
    std::vector<Variant> optional(const std::vector<OptionalParameter>& declared) override;

private:
    QList<QVariant> required_;
    QVariantMap options_;
    qsizetype next_ = 0;
};

// One member call. The converted arguments are left in args, so that written-back parameters can
// be returned.
Variant callMember(clsPrint& print, const MethodSpec& method, CallArguments& given,
                   Arguments& args);

// The member's result as its out argument: `v` or `b`; invalid for a member without result.
QVariant resultToWire(const MethodSpec& method, const Variant& result);

}  // namespace zel
