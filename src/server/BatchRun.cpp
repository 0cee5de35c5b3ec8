#include "server/BatchRun.h"

#include <QDBusArgument>
#include <QDBusVariant>

#include "server/MemberCall.h"
#include "server/Members.h"
#include "server/WireCodec.h"
#include "variant/VbError.h"

namespace zel {

namespace {

// The most calls one batch may carry (a thousand is a page's worth): each decoded call is held
// until the batch runs, so a batch past this is refused with 7 before more of it is decoded.
constexpr size_t MaxBatchCalls = 100000;

struct BatchCall {
    QString member;
    QList<QVariant> required;  // each a QDBusVariant, as a `v` argument arrives
    QVariantMap options;
};

std::vector<BatchCall> batchCalls(const QDBusArgument& wire) {
    std::vector<BatchCall> calls;
    wire.beginArray();
    while (!wire.atEnd()) {
        if (calls.size() == MaxBatchCalls) {
            wire.endArray();  // QtDBus frees the array's reader only here
            throw VbError(VbErr::OutOfMemory);
        }
        BatchCall call;
        wire.beginStructure();
        wire >> call.member;
        wire.beginArray();
        while (!wire.atEnd()) {
            QDBusVariant value;
            wire >> value;
            call.required << QVariant::fromValue(value);
        }
        wire.endArray();
        wire >> call.options;
        wire.endStructure();
        calls.push_back(std::move(call));
    }
    wire.endArray();
    return calls;
}

// One call of the batch, its result as the content of a `v`; VbError as the member raises it, 438
// for a name that is no member, 450 for a wrong number of required arguments.
QVariant runCall(clsPrint& print, const BatchCall& call, Arguments& args) {
    const MethodSpec* method = findMethod(call.member);
    if (!method)
        throw VbError(VbErr::ObjectDoesNotSupportMember,
                      QStringLiteral("%1: %2").arg(
                          VbError::standardText(VbErr::ObjectDoesNotSupportMember), call.member));
    if (static_cast<size_t>(call.required.size()) != method->required.size())
        throw VbError(VbErr::WrongNumberOfArguments,
                      QStringLiteral("%1: %2 takes %3")
                          .arg(VbError::standardText(VbErr::WrongNumberOfArguments), call.member)
                          .arg(method->required.size()));
    const Variant result = callMember(print, *method, call.required, call.options, args);
    switch (method->result) {
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
    const std::vector<BatchCall> calls =
        batchCalls(message.arguments().at(0).value<QDBusArgument>());
    // A QVariantList goes on the wire as `av` straight into the reply.
    QVariantList results;
    int failedIndex = -1;
    QString error;
    Arguments args;
    for (size_t i = 0; i < calls.size(); ++i) {
        try {
            results << runCall(print, calls[i], args);
        } catch (const VbError& e) {
            failedIndex = int(i);
            error = QStringLiteral("%1: %2").arg(e.number()).arg(e.description());
            break;
        }
    }
    return message.createReply({results, failedIndex, error});
}

}  // namespace zel
