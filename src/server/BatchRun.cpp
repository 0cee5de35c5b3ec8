#include "server/BatchRun.h"

#include <dbus/dbus.h>

#include <QDBusVariant>
#include <map>
#include <stdexcept>

#include "server/MemberCall.h"
#include "server/Members.h"
#include "server/RawMessage.h"
#include "server/WireCodec.h"
#include "server/WireReader.h"
#include "variant/VbError.h"

namespace zel {

namespace {

// The most calls one batch may carry (a thousand is a page's worth); a batch past this is
// refused with 7 before any of it runs.
constexpr size_t MaxBatchCalls = 100000;

// One call of the batch, read from the message as it runs (name, required `v`s, optional
// a{sv}): no copy of the batch is made, and each value is converted once, where the call takes
// it. One reader serves every call of a batch, keeping its room for their arguments.
class BatchCall : public CallArguments {
public:
    // Reads the call at the iterator.
    void read(DBusMessageIter& call) {
        DBusMessageIter field;
        dbus_message_iter_recurse(&call, &field);
        dbus_message_iter_get_basic(&field, &name_);
        dbus_message_iter_next(&field);
        required_.clear();
        next_ = 0;
        DBusMessageIter value;
        for (dbus_message_iter_recurse(&field, &value);
             dbus_message_iter_get_arg_type(&value) == DBUS_TYPE_VARIANT;
             dbus_message_iter_next(&value))
            required_.push_back(value);
        dbus_message_iter_next(&field);
        options_ = field;
    }
    const char* name() const { return name_; }
    size_t requiredCount() const override { return required_.size(); }
    Variant nextRequired() override { return readWireVariant(required_.at(next_++)); }
    std::vector<Variant> optional(const std::vector<OptionalParameter>& declared) override {
        DBusMessageIter entry;
        dbus_message_iter_recurse(&options_, &entry);
        if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_DICT_ENTRY)
            return namedArguments(QStringList(), {}, declared);  // the usual empty dictionary
        // As a dictionary of QtDBus has them: by name, the last of a name repeated standing.
        std::map<QString, DBusMessageIter> given;
        for (; dbus_message_iter_get_arg_type(&entry) == DBUS_TYPE_DICT_ENTRY;
             dbus_message_iter_next(&entry)) {
            DBusMessageIter pair;
            dbus_message_iter_recurse(&entry, &pair);
            const QString name = readWireString(pair);
            dbus_message_iter_next(&pair);
            given[name] = pair;
        }
        QStringList names;
        std::vector<DBusMessageIter> values;
        for (const auto& [name, value] : given) {
            names << name;
            values.push_back(value);
        }
        return namedArguments(
            names, [&values](qsizetype index) { return readWireVariant(values[size_t(index)]); },
            declared);
    }

private:
    const char* name_ = nullptr;
    std::vector<DBusMessageIter> required_;  // where each `v` is
    size_t next_ = 0;
    DBusMessageIter options_;
};

// Where each call of the batch is, found before any runs (one step over each, which the calls
// then do not repeat); 7 for more than MaxBatchCalls.
std::vector<DBusMessageIter> callsOf(DBusMessageIter& batch) {
    std::vector<DBusMessageIter> calls;
    DBusMessageIter call;
    for (dbus_message_iter_recurse(&batch, &call);
         dbus_message_iter_get_arg_type(&call) == DBUS_TYPE_STRUCT; dbus_message_iter_next(&call)) {
        if (calls.size() == MaxBatchCalls) throw VbError(VbErr::OutOfMemory);
        calls.push_back(call);
    }
    return calls;
}

// The member a call names; 438 for a name that is no member. The batch's calls mostly name the
// member before them again, which is then not looked up.
const MethodSpec& memberOf(const BatchCall& call, const MethodSpec*& last) {
    if (last && last->name == QLatin1String(call.name())) return *last;
    const QString name = QString::fromUtf8(call.name());
    last = findMethod(name);
    if (!last)
        throw VbError(VbErr::ObjectDoesNotSupportMember,
                      QStringLiteral("%1: %2").arg(
                          VbError::standardText(VbErr::ObjectDoesNotSupportMember), name));
    return *last;
}

// One call of the batch, its result as the content of a `v`; VbError as the member raises it, 438
// for a name that is no member, 450 for a wrong number of required arguments.
QVariant runCall(clsPrint& print, BatchCall& call, const MethodSpec*& last, Arguments& args) {
    const MethodSpec& method = memberOf(call, last);
    if (call.requiredCount() != method.required.size())
        throw VbError(VbErr::WrongNumberOfArguments,
                      QStringLiteral("%1: %2 takes %3")
                          .arg(VbError::standardText(VbErr::WrongNumberOfArguments), method.name)
                          .arg(method.required.size()));
    const Variant result = callMember(print, method, call, args);
    switch (method.result) {
        case ResultKind::Boolean:
            return result.toBoolean();
        case ResultKind::Value:
            return toWire(result);
        case ResultKind::None:
            break;
    }
    return toWire(Variant());
}

}  // namespace

QDBusMessage runBatch(const QDBusMessage& message, clsPrint& print) {
    // The argument QtDBus left unread (the signature was checked): its message is read directly.
    const QVariant argument = message.arguments().at(0);
    DBusMessage* raw = rawMessage(argument);
    if (!raw) throw std::runtime_error("the batch did not come over the bus");  // a local call
    DBusMessageIter batch;
    dbus_message_iter_init(raw, &batch);
    std::vector<DBusMessageIter> calls = callsOf(batch);
    // A QVariantList goes on the wire as `av` straight into the reply.
    QVariantList results;
    int failedIndex = -1;
    QString error;
    Arguments args;
    const MethodSpec* last = nullptr;
    BatchCall call;
    for (size_t index = 0; index < calls.size(); ++index) {
        call.read(calls[index]);
        try {
            results << runCall(print, call, last, args);
        } catch (const VbError& e) {
            failedIndex = int(index);
            error = QStringLiteral("%1: %2").arg(e.number()).arg(e.description());
            break;
        }
    }
    return message.createReply({results, failedIndex, error});
}

}  // namespace zel
