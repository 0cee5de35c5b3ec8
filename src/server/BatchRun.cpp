#include "server/BatchRun.h"

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

// One call of the batch, read from the message's bytes as it runs (name, required `v`s, optional
// a{sv}): no copy of the batch is made, and each value is converted once, where the call takes
// it. One reader serves every call of a batch, keeping its room for their arguments.
class BatchCall : public CallArguments {
public:
    explicit BatchCall(const WireBody& body) : body_(body) {}
    // Reads the call that starts at the offset.
    void read(size_t at) {
        WireReader reader(body_, at);
        name_ = reader.string();
        required_.clear();
        next_ = 0;
        const size_t length = reader.arrayLength(1);
        for (const size_t end = reader.at() + length; reader.within(end); reader.skipVariant())
            required_.push_back(reader.at());
        options_ = reader.at();
    }
    QLatin1String name() const { return QLatin1String(name_.first, qsizetype(name_.second)); }
    QString nameText() const { return QString::fromUtf8(name_.first, qsizetype(name_.second)); }
    size_t requiredCount() const override { return required_.size(); }
    Variant nextRequired() override { return WireReader(body_, required_.at(next_++)).variant(); }
    std::vector<Variant> optional(const std::vector<OptionalParameter>& declared) override {
        WireReader entry(body_, options_);
        const size_t length = entry.arrayLength(8);
        if (length == 0)
            return namedArguments(QStringList(), {}, declared);  // the usual empty dictionary
        // As a dictionary of QtDBus has them: by name, the last of a name repeated standing.
        std::map<QString, size_t> given;
        for (const size_t end = entry.at() + length; entry.within(end); entry.skipVariant()) {
            entry.alignStruct();
            const auto [text, size] = entry.string();
            given[QString::fromUtf8(text, qsizetype(size))] = entry.at();
        }
        QStringList names;
        std::vector<size_t> values;
        for (const auto& [name, value] : given) {
            names << name;
            values.push_back(value);
        }
        return namedArguments(
            names,
            [this, &values](qsizetype index) {
                return WireReader(body_, values[size_t(index)]).variant();
            },
            declared);
    }

private:
    const WireBody& body_;
    std::pair<const char*, size_t> name_;
    std::vector<size_t> required_;  // where each `v` starts
    size_t next_ = 0;
    size_t options_ = 0;  // where the a{sv} starts
};

// Where each call of the batch starts, found before any runs; 7 for more than MaxBatchCalls.
std::vector<size_t> callsOf(const WireBody& body) {
    std::vector<size_t> calls;
    WireReader reader(body, 0);
    const size_t length = reader.arrayLength(8);
    for (const size_t end = reader.at() + length; reader.within(end);) {
        reader.alignStruct();
        if (calls.size() == MaxBatchCalls) throw VbError(VbErr::OutOfMemory);
        calls.push_back(reader.at());
        reader.string();
        reader.skipArray(1);
        reader.skipArray(8);
    }
    return calls;
}

// The member a call names; 438 for a name that is no member. The batch's calls mostly name the
// member before them again, which is then not looked up.
const MethodSpec& memberOf(const BatchCall& call, const MethodSpec*& last) {
    if (last && last->name == call.name()) return *last;
    const QString name = call.nameText();
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
    const WireBody body(raw);
    const std::vector<size_t> calls = callsOf(body);
    // A QVariantList goes on the wire as `av` straight into the reply.
    QVariantList results;
    results.reserve(qsizetype(calls.size()));
    int failedIndex = -1;
    QString error;
    Arguments args;
    const MethodSpec* last = nullptr;
    BatchCall call(body);
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
