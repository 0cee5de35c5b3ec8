#include "server/PrintService.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDir>
#include <cstdio>
#include <new>

#include "print/clsPrint.h"
#include "server/BatchRun.h"
#include "server/Introspection.h"
#include "server/MemberCall.h"
#include "server/Members.h"
#include "server/NamedArguments.h"
#include "server/PropertyChanges.h"
#include "server/WireCodec.h"
#include "surface/PrintJobs.h"
#include "surface/PrinterDestination.h"
#include "variant/VbError.h"

namespace zel {

namespace {

const QString kIntrospectable = QStringLiteral("org.freedesktop.DBus.Introspectable");
const QString kPeer = QStringLiteral("org.freedesktop.DBus.Peer");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kUnknownObject = QStringLiteral("org.freedesktop.DBus.Error.UnknownObject");
const QString kUnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
const QString kUnknownProperty = QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty");
const QString kUnknownInterface = QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface");
const QString kInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
const QString kFailed = QStringLiteral("org.freedesktop.DBus.Error.Failed");
const QString kObjectContainer = QStringLiteral("/clsPrint");

// An error that is the bus's own (no such object, wrong signature), not the print object's.
struct BusError {
    QString name;
    QString text;
};

// The object number of a path `/clsPrint/N`, or 0.
int objectId(const QString& path) {
    if (!path.startsWith(Bus::kObjectPathPrefix)) return 0;
    bool ok = false;
    const int id = path.mid(Bus::kObjectPathPrefix.size()).toInt(&ok);
    return ok && id > 0 && QString::number(id) == path.mid(Bus::kObjectPathPrefix.size()) ? id : 0;
}

QString objectPath(int id) {
    return Bus::kObjectPathPrefix + QString::number(id);
}

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
void checkPrinterChoice(const QString& choice) {
    if (choice.isEmpty()) return;
    const PrinterDestination destination = PrinterDestination::parse(choice);
    if (destination.isPdf() && !QDir::isAbsolutePath(destination.pdfDirectory))
        throw VbError(VbErr::InvalidProcedureCall,
                      QStringLiteral("Invalid procedure call or argument: Printer %1: the folder "
                                     "must be an absolute path")
                          .arg(choice));
    pageLayoutFor(destination);  // 482 for a queue CUPS does not know
}

}  // namespace

PrintService::PrintService(const QDBusConnection& connection, QObject* parent)
    : QDBusVirtualObject(parent),
      connection_(connection),
      watcher_(new QDBusServiceWatcher(QString(), connection,
                                       QDBusServiceWatcher::WatchForUnregistration, this)) {
    registerWireTypes();
    // A job's events go to the object whose output started it, on its path even after its
    // release (paths are never reused), so that its client learns what became of its job.
    connect(&PrintJobs::instance(), &PrintJobs::sheetFinished, this,
            [this](int owner, int32_t sheet) {
                if (owner > 0)
                    sendSignal(objectPath(owner), Bus::kEventInterface,
                               QStringLiteral("BladAfgedrukt"), {sheet});
            });
    connect(&PrintJobs::instance(), &PrintJobs::jobEnded, this,
            [this](int owner, const EndedJob& job) {
                if (owner > 0)
                    sendSignal(objectPath(owner), Bus::kJobsInterface, QStringLiteral("JobEnded"),
                               {job.destination, job.document, job.pages});
            });
    connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
            [this](const QString& owner) {
                watcher_->removeWatchedService(owner);
                runHeld([this, owner] { ownerLeft(owner); });
            });
}

PrintService::~PrintService() {
    releaseAll();
}

bool PrintService::registerObjects() {
    return connection_.registerVirtualObject(QStringLiteral("/"), this, QDBusConnection::SubPath);
}

void PrintService::releaseAll() {
    while (!objects_.empty()) {
        const int id = objects_.begin()->first;
        reportUndelivered(id, releaseObject(id));
    }
}

QString PrintService::introspect(const QString& path) const {
    if (path == QLatin1String("/")) return interfacesXml(serverInterfaces());
    if (objects_.count(objectId(path))) return interfacesXml(objectInterfaces());
    return QString();
}

bool PrintService::handleMessage(const QDBusMessage& message, const QDBusConnection&) {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    answer(message, false, [this](const QDBusMessage& call) {
        dispatch(call);
        return QDBusMessage();  // the dispatched handler answers
    });
    return true;
}

void PrintService::dispatch(const QDBusMessage& message) {
    const QString& interface = message.interface();
    if (interface == kIntrospectable) return dispatchIntrospect(message);
    if (interface == kPeer && message.member() == QLatin1String("Ping"))
        return answer(message, false, [](const QDBusMessage& m) { return m.createReply(); });
    if (interface == kPeer && message.member() == QLatin1String("GetMachineId"))
        return answer(message, false, [](const QDBusMessage& m) {
            return m.createReply(QString::fromLatin1(QDBusConnection::localMachineId()));
        });
    if (message.path() == QLatin1String("/")) return dispatchServer(message);
    const int id = objectId(message.path());
    if (!objects_.count(id))
        throw BusError{kUnknownObject, QStringLiteral("No object at %1").arg(message.path())};
    if (interface == kProperties) return dispatchProperties(message, id);
    if (interface == Bus::kBatchInterface && message.member() == QLatin1String("Run")) {
        requireSignature(message, kBatchRunSignature);
        return answer(message, true, [this, id](const QDBusMessage& m) {
            return runOnObject(id, [&m](clsPrint& print) { return runBatch(m, print); });
        });
    }
    if (addressed(message, Bus::kObjectInterface)) {
        if (message.member() == QLatin1String("Release")) {
            requireSignature(message, QString());
            return answer(message, true,
                          [this, id](const QDBusMessage& m) { return release(m, id); });
        }
        if (const MethodSpec* method = findMethod(message.member())) {
            requireSignature(message, method->inSignature());
            return answer(
                message, method->access == Access::Held,
                [this, id, method](const QDBusMessage& m) { return callMember(m, id, *method); });
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
    answer(message, true, [this](const QDBusMessage& m) { return create(m); });
}

void PrintService::dispatchProperties(const QDBusMessage& message, int id) {
    const QList<QVariant> args = message.arguments();
    const QString& member = message.member();
    const bool ours = !args.isEmpty() &&
                      (args[0].toString().isEmpty() || args[0].toString() == Bus::kObjectInterface);
    if (member == QLatin1String("GetAll")) {
        requireSignature(message, QStringLiteral("s"));
        return answer(message, false, [this, id, ours](const QDBusMessage& m) {
            QVariantMap values;
            if (ours) {
                const clsPrint& print = object(id);
                for (const PropertySpec& property : clsPrintProperties())
                    values.insert(property.name, property.wire(print));
            }
            return m.createReply(values);
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
        return answer(message, false, [this, id, property](const QDBusMessage& m) {
            return valueReply(m, property->wire(object(id)));
        });
    answer(message, true, [this, id, property](const QDBusMessage& m) {
        return runOnObject(id, [&m, property](clsPrint& print) {
            property->write(print, fromPropertyArgument(m.arguments().at(2)));
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
        for (const auto& entry : objects_) children << QString::number(entry.first);
    } else if (objects_.count(objectId(path))) {
        interfaces = objectInterfaces();
    } else {
        throw BusError{kUnknownObject, QStringLiteral("No object at %1").arg(path)};
    }
    answer(message, false, [&](const QDBusMessage& m) {
        return m.createReply(introspectionDocument(interfaces, children));
    });
}

void PrintService::answer(const QDBusMessage& message, bool held,
                          std::function<QDBusMessage(const QDBusMessage&)> body) {
    auto run = [this, message, body = std::move(body)] {
        try {
            const QDBusMessage reply = body(message);
            if (reply.type() != QDBusMessage::InvalidMessage) connection_.send(reply);
        } catch (const BusError& e) {
            sendError(message, e.name, e.text);
        } catch (const VbError& e) {
            sendError(message, QStringLiteral("ZelPrintDemo.Error%1").arg(e.number()),
                      QStringLiteral("%1: %2").arg(e.number()).arg(e.description()));
        } catch (const std::bad_alloc&) {
            const VbError e(VbErr::OutOfMemory);
            sendError(message, QStringLiteral("ZelPrintDemo.Error%1").arg(e.number()),
                      QString::fromStdString(e.what()));
        } catch (const std::exception& e) {
            sendError(message, kFailed, QString::fromLocal8Bit(e.what()));
        }
    };
    if (held)
        hold_.run(std::move(run));
    else
        run();
}

void PrintService::sendError(const QDBusMessage& message, const QString& name,
                             const QString& text) {
    if (!message.isReplyRequired()) return;
    connection_.send(message.createErrorReply(name, text));
}

QDBusMessage PrintService::create(const QDBusMessage& message) {
    const std::vector<Variant> options =
        namedArguments(dictionary(message.arguments().at(0)), createOptions());
    const bool persistent = options[0].toBoolean();
    const QString printer = options[1].toString();
    checkPrinterChoice(printer);
    auto print = std::make_unique<clsPrint>();
    const int id = nextId_++;
    connectEvents(*print, objectPath(id));
    const QString owner = persistent ? QString() : message.service();
    objects_[id] = PrintObject{std::move(print), owner, printer};
    Q_EMIT objectCountChanged(objectCount());
    if (!owner.isEmpty()) {
        if (!watcher_->watchedServices().contains(owner)) watcher_->addWatchedService(owner);
        // A client that left before its call was served (held, or just queued) would never be
        // seen leaving: the bus told nobody. Asked after the watch, the bus answers in order.
        if (!connection_.interface()->isServiceRegistered(owner).value()) {
            reportUndelivered(id, releaseObject(id));
            return QDBusMessage();
        }
    }
    return message.createReply(QVariant::fromValue(QDBusObjectPath(objectPath(id))));
}

QDBusMessage PrintService::callMember(const QDBusMessage& message, int id,
                                      const MethodSpec& method) {
    const QList<QVariant> wire = message.arguments();
    Arguments args;
    return runOnObject(id, [&](clsPrint& print) {
        const Variant result = zel::callMember(
            print, method, wire.mid(0, method.required.size()),
            method.optional.empty() ? QVariantMap() : dictionary(wire.last()), args);
        QList<QVariant> reply;
        if (method.result != ResultKind::None) reply << resultToWire(method, result);
        // Parameters the member writes back follow the result, in their order.
        for (int index : method.writtenBack)
            reply << QVariant::fromValue(QDBusVariant(toWire(args.at(static_cast<size_t>(index)))));
        return message.createReply(reply);
    });
}

QDBusMessage PrintService::runOnObject(int id, const std::function<QDBusMessage(clsPrint&)>& body) {
    clsPrint& print = object(id);
    const PrintJobs::Scope caller(id, objects_.at(id).printer);
    const PropertySnapshot before(print);
    auto announce = [&] {
        const QVariantMap changed = before.changes(print);
        if (!changed.isEmpty()) connection_.send(propertiesChangedSignal(objectPath(id), changed));
    };
    QDBusMessage reply;
    try {
        reply = body(print);
    } catch (...) {
        announce();
        throw;
    }
    announce();
    return reply;
}

QDBusMessage PrintService::release(const QDBusMessage& message, int id) {
    object(id);
    // The object is gone either way; a job that did not reach its destination is the answer.
    if (std::optional<VbError> undelivered = releaseObject(id)) throw *undelivered;
    return message.createReply();
}

clsPrint& PrintService::object(int id) {
    const auto it = objects_.find(id);
    if (it == objects_.end())
        throw BusError{kUnknownObject, QStringLiteral("No object at %1").arg(objectPath(id))};
    return *it->second.print;
}

std::optional<VbError> PrintService::releaseObject(int id) {
    const auto it = objects_.find(id);
    if (it == objects_.end()) return std::nullopt;
    // Out of the table first, so that nothing reaches the object while its release runs.
    std::unique_ptr<clsPrint> print = std::move(it->second.print);
    const PrintJobs::Scope caller(id, it->second.printer);
    objects_.erase(it);
    std::optional<VbError> undelivered = print->Terminate();
    print.reset();
    Q_EMIT objectCountChanged(objectCount());
    return undelivered;
}

void PrintService::ownerLeft(const QString& owner) {
    std::vector<int> owned;
    for (const auto& [id, entry] : objects_)
        if (entry.owner == owner) owned.push_back(id);
    for (int id : owned) reportUndelivered(id, releaseObject(id));
}

void PrintService::reportUndelivered(int id, const std::optional<VbError>& undelivered) {
    // The client that could have been told has left: the server's log is all that remains.
    if (undelivered)
        std::fprintf(stderr, "zelprint: %s: %s\n", qPrintable(objectPath(id)), undelivered->what());
}

void PrintService::connectEvents(clsPrint& print, const QString& path) {
    connect(
        &print, &clsPrint::Melding, this, [this, path](int32_t FoutNummer, const QString& Tekst) {
            sendSignal(path, Bus::kEventInterface, QStringLiteral("Melding"), {FoutNummer, Tekst});
        });
}

void PrintService::sendSignal(const QString& path, const QString& interface, const QString& name,
                              const QList<QVariant>& arguments) {
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(arguments);
    connection_.send(signal);
}

}  // namespace zel
