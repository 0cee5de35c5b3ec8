// PrintService's calls as the bus delivers them: routed by path, interface and member, run at
// once (reads) or on the queue of the object's context, and answered, errors included.
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDir>
#include <new>

#include "general/GuiThread.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "server/ArgumentKind.h"
#include "server/BatchRun.h"
#include "server/BusError.h"
#include "server/BusOutbox.h"
#include "server/Introspection.h"
#include "server/JobOptionsArgument.h"
#include "server/MemberCall.h"
#include "server/Members.h"
#include "server/NamedArguments.h"
#include "server/ObjectPaths.h"
#include "server/PrintService.h"
#include "server/WireCodec.h"
#include "surface/CupsQueue.h"
#include "surface/PrinterDestination.h"
#include "variant/VbError.h"
#include "windows/PrintWindows.h"

namespace zel {

namespace {

// True for the interface a call names, or for a call that names none.
bool addressed(const QDBusMessage& message, const QString& interface) {
    return message.interface().isEmpty() || message.interface() == interface;
}

void requireSignature(const QDBusMessage& message, const QString& expected) {
    if (message.signature() != expected)
        throw BusError{kInvalidArgs, QStringLiteral("%1 takes '%2', not '%3'")
                                         .arg(message.member(), expected, message.signature())};
}

QVariantMap dictionary(const QVariant& argument) {
    return qdbus_cast<QVariantMap>(argument);
}

QDBusMessage valueReply(const QDBusMessage& message, const QVariant& wire) {
    return message.createReply(QVariant::fromValue(QDBusVariant(wire)));
}

QString interfacesXml(const std::vector<InterfaceDescription>& interfaces) {
    QString xml;
    for (const InterfaceDescription& interface : interfaces) xml += interface.xml;
    return xml;
}

// A client's destination is checked when it chooses it, not when its first job fails. A PDF
// folder must be absolute: the server's working folder means nothing to the client.
// So are its options, against the destination they will go to: an option CUPS would refuse is
// 482 naming it, before anything is printed.
void checkPrinterChoice(const QString& choice, const JobOptions& options) {
    if (choice.isEmpty() && options.isEmpty()) return;
    PrinterDestination destination =
        choice.isEmpty() ? currentDestination() : PrinterDestination::parse(choice);
    destination.options = options.over(destination.options);
    if (destination.isPdf() && !QDir::isAbsolutePath(destination.pdfDirectory))
        throw VbError(VbErr::InvalidProcedureCall,
                      QStringLiteral("Invalid procedure call or argument: Printer %1: the folder "
                                     "must be an absolute path")
                          .arg(choice));
    pageLayoutFor(destination);  // 482 for a queue CUPS does not know, or an unknown paper
    if (!destination.isPdf()) cups::checkOptions(destination.queue, destination.options);
}

// The standard interfaces every path answers.
const QString kIntrospectable = QStringLiteral("org.freedesktop.DBus.Introspectable");
const QString kPeer = QStringLiteral("org.freedesktop.DBus.Peer");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
// The node above the objects' paths: introspected, it lists them.
const QString kObjectContainer = QStringLiteral("/clsPrint");

}  // namespace

QString PrintService::introspect(const QString& path) const {
    if (path == QLatin1String("/")) return interfacesXml(serverInterfaces());
    if (heldIn(objectId(path))) return interfacesXml(objectInterfaces());
    return QString();
}

void PrintService::take(const QDBusMessage& message) {
    // A Create makes its context on the GUI thread, which owns the contexts' windows; every
    // other call is dispatched where it arrives, unless calls handed over before it still wait.
    if (onGuiThread() || (forwarded_.load() == 0 && message.path() != QLatin1String("/")))
        return dispatchMessage(message);
    forwarded_.fetch_add(1);
    postToGuiThread(this, [this, message] {
        dispatchMessage(message);
        forwarded_.fetch_sub(1);
    });
}

void PrintService::dispatchMessage(const QDBusMessage& message) {
    answer(message, nullptr, [this](const QDBusMessage& call) {
        dispatch(call);
        return QDBusMessage();  // the dispatched handler answers
    });
}

void PrintService::dispatch(const QDBusMessage& message) {
    const QString& interface = message.interface();
    if (interface == kIntrospectable) return dispatchIntrospect(message);
    if (interface == kPeer && message.member() == QLatin1String("Ping"))
        return answer(message, nullptr, [](const QDBusMessage& m) { return m.createReply(); });
    if (interface == kPeer && message.member() == QLatin1String("GetMachineId"))
        return answer(message, nullptr, [](const QDBusMessage& m) {
            return m.createReply(QString::fromLatin1(QDBusConnection::localMachineId()));
        });
    if (message.path() == QLatin1String("/")) return dispatchServer(message);
    const int id = objectId(message.path());
    if (!heldIn(id))
        throw BusError{kUnknownObject, QStringLiteral("No object at %1").arg(message.path())};
    if (interface == kProperties) return dispatchProperties(message, id);
    if (interface == Bus::kBatchInterface && message.member() == QLatin1String("Run")) {
        requireSignature(message, kBatchRunSignature);
        return answer(message, heldIn(id), [this, id](const QDBusMessage& m) {
            return runOnObject(id, [&m](clsPrint& print) { return runBatch(m, print); });
        });
    }
    if (addressed(message, Bus::kObjectInterface)) {
        if (message.member() == QLatin1String("Release")) {
            requireSignature(message, QString());
            return answer(message, heldIn(id),
                          [this, id](const QDBusMessage& m) { return release(m, id); });
        }
        if (const MethodSpec* method = findMethod(message.member())) {
            requireSignature(message, method->inSignature());
            if (method->access == Access::Read)
                return answer(message, nullptr, [this, id, method](const QDBusMessage& m) {
                    return m.createReply(published(id).reads.value(method->name));
                });
            return answer(message, heldIn(id), [this, id, method](const QDBusMessage& m) {
                return callMember(m, id, *method);
            });
        }
    }
    throw BusError{kUnknownMethod, QStringLiteral("No member %1.%2")
                                       .arg(interface.isEmpty() ? Bus::kObjectInterface : interface,
                                            message.member())};
}

void PrintService::dispatchServer(const QDBusMessage& message) {
    if (!addressed(message, Bus::kServerInterface) || message.member() != QLatin1String("Create"))
        throw BusError{kUnknownMethod, QStringLiteral("No member %1 on /").arg(message.member())};
    requireSignature(message, QStringLiteral("a{sv}"));
    QVariantMap given = dictionary(message.arguments().at(0));
    const JobOptions jobOptions = takeJobOptions(given);
    const std::vector<Variant> options = namedArguments(given, createOptions());
    const bool persistent = options[0].toBoolean();
    const QString printer = options[1].toString();
    const QString group = options[2].toString();
    // Paths are numbered in the order the calls came, whichever context runs first.
    const int id = nextId_++;
    // The context decides which calls the creation waits behind.
    QString key;
    if (!group.isEmpty())
        key = QStringLiteral("group:") + group;
    else if (persistent)
        key = QStringLiteral("object:") + QString::number(id);
    else
        key = QStringLiteral("connection:") + message.service();
    const Shared shared = contextFor(key, message.service());
    answer(message, shared,
           [this, id, shared, persistent, printer, jobOptions](const QDBusMessage& m) {
               // CUPS may take its time: on the context's thread, not the bus's.
               checkPrinterChoice(printer, jobOptions);
               return create(m, id, shared, persistent, printer, jobOptions);
           });
}

void PrintService::dispatchProperties(const QDBusMessage& message, int id) {
    const QList<QVariant> args = message.arguments();
    const QString& member = message.member();
    const bool ours = !args.isEmpty() &&
                      (args[0].toString().isEmpty() || args[0].toString() == Bus::kObjectInterface);
    if (member == QLatin1String("GetAll")) {
        requireSignature(message, QStringLiteral("s"));
        return answer(message, nullptr, [this, id, ours](const QDBusMessage& m) {
            return m.createReply(ours ? published(id).properties : QVariantMap());
        });
    }
    const bool get = member == QLatin1String("Get");
    if (!get && member != QLatin1String("Set"))
        throw BusError{kUnknownMethod, QStringLiteral("No member %1.%2").arg(kProperties, member)};
    requireSignature(message, get ? QStringLiteral("ss") : QStringLiteral("ssv"));
    if (!ours)
        throw BusError{kUnknownInterface,
                       QStringLiteral("No properties on %1").arg(shownInError(args[0].toString()))};
    const PropertySpec* property = findProperty(args[1].toString());
    if (!property)
        throw BusError{kUnknownProperty,
                       QStringLiteral("No property %1").arg(shownInError(args[1].toString()))};
    if (get)
        return answer(message, nullptr, [this, id, property](const QDBusMessage& m) {
            return valueReply(m, published(id).properties.value(property->name));
        });
    answer(message, heldIn(id), [this, id, property](const QDBusMessage& m) {
        return runOnObject(id, [&m, property](clsPrint& print) {
            try {
                property->write(print, fromPropertyArgument(m.arguments().at(2)));
            } catch (const VbError& error) {
                // A value out of range names the range, which the property's text gives.
                QString expected = kindName(property->kind);
                if (error.number() == VbErr::InvalidPropertyValue)
                    expected += QStringLiteral(": ") + property->doc.chopped(1);
                throw namingArgument(error, "property", property->name, expected);
            }
            return m.createReply();
        });
    });
}

void PrintService::dispatchIntrospect(const QDBusMessage& message) {
    requireSignature(message, QString());
    const QString& path = message.path();
    std::vector<InterfaceDescription> interfaces;
    QStringList children;
    if (path == QLatin1String("/")) {
        interfaces = serverInterfaces();
        children << kObjectContainer.mid(1);
    } else if (path == kObjectContainer) {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& entry : objects_) children << QString::number(entry.first);
    } else if (heldIn(objectId(path))) {
        interfaces = objectInterfaces();
    } else {
        throw BusError{kUnknownObject, QStringLiteral("No object at %1").arg(path)};
    }
    answer(message, nullptr, [&](const QDBusMessage& m) {
        return m.createReply(introspectionDocument(interfaces, children));
    });
}

void PrintService::answer(const QDBusMessage& message, const Shared& heldIn,
                          std::function<QDBusMessage(const QDBusMessage&)> body) {
    // The reply or error to send; an invalid message when there is none.
    auto run = [this, message, body = std::move(body)]() -> QDBusMessage {
        try {
            return body(message);
        } catch (const BusError& e) {
            return errorReply(message, e.name, e.text);
        } catch (const VbError& e) {
            return errorReply(message, QStringLiteral("ZelPrintDemo.Error%1").arg(e.number()),
                              QStringLiteral("%1: %2").arg(e.number()).arg(e.description()));
        } catch (const std::bad_alloc&) {
            const VbError e(VbErr::OutOfMemory);
            return errorReply(message, QStringLiteral("ZelPrintDemo.Error%1").arg(e.number()),
                              QString::fromStdString(e.what()));
        } catch (const std::exception& e) {
            return errorReply(message, kFailed, QString::fromLocal8Bit(e.what()));
        }
    };
    const auto send = [this](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::InvalidMessage) outbox_->send(reply);
    };
    if (!heldIn) return send(run());
    const Shared shared = heldIn;
    const QString caller = message.service();
    ContextQueue::Wake wake;  // after the lock: the context's thread takes it first thing
    const std::lock_guard<std::mutex> lock(mutex_);
    if (closing_) {
        sendError(message, kFailed, QStringLiteral("The server is ending"));
        return;
    }
    wake = shared->queue.postLater([this, shared, caller, run = std::move(run), send] {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            // A call whose client left while it waited is answered to nobody: it is dropped.
            if (departed_.count(caller)) return settle(shared);
            shared->caller = caller;
        }
        QDBusMessage reply;
        {
            const ContextHold hold(shared->context->windows().handlers());
            reply = run();
        }
        {
            // Settled before the reply goes: a client told that its Release is done finds the
            // context's place free for its next Create.
            const std::lock_guard<std::mutex> lock(mutex_);
            shared->caller.clear();
            settle(shared);
        }
        send(reply);
    });
}

void PrintService::sendError(const QDBusMessage& message, const QString& name,
                             const QString& text) {
    const QDBusMessage reply = errorReply(message, name, text);
    if (reply.type() != QDBusMessage::InvalidMessage) outbox_->send(reply);
}

QDBusMessage PrintService::errorReply(const QDBusMessage& message, const QString& name,
                                      const QString& text) {
    return message.isReplyRequired() ? message.createErrorReply(name, text) : QDBusMessage();
}

QDBusMessage PrintService::callMember(const QDBusMessage& message, int id,
                                      const MethodSpec& method) {
    const QList<QVariant> wire = message.arguments();
    Arguments args;
    return runOnObject(id, [&](clsPrint& print) {
        WireArguments given(wire.mid(0, method.required.size()),
                            method.optional.empty() ? QVariantMap() : dictionary(wire.last()));
        const Variant result = zel::callMember(print, method, given, args);
        QList<QVariant> reply;
        if (method.result != ResultKind::None) reply << resultToWire(method, result);
        // Parameters the member writes back follow the result, in their order.
        for (int index : method.writtenBack)
            reply << QVariant::fromValue(QDBusVariant(toWire(args.at(static_cast<size_t>(index)))));
        return message.createReply(reply);
    });
}

}  // namespace zel
