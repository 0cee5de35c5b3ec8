#include "server/PrintService.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <new>

#include "general/GuiThread.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "server/BatchRun.h"
#include "server/BusFront.h"
#include "server/BusOutbox.h"
#include "server/Introspection.h"
#include "server/JobOptionsArgument.h"
#include "server/MemberCall.h"
#include "server/Members.h"
#include "server/NamedArguments.h"
#include "server/PropertyChanges.h"
#include "server/WireCodec.h"
#include "surface/CupsQueue.h"
#include "surface/PrintJobs.h"
#include "surface/PrinterDestination.h"
#include "variant/VbError.h"
#include "windows/PrintWindows.h"

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

}  // namespace

PrintService::PrintService(const QDBusConnection& connection, QObject* parent)
    : QObject(parent), connection_(connection), outbox_(new BusOutbox(connection)) {
    registerWireTypes();
    // What became of a job at CUPS, on the path of the object whose job it was (see JobEnded);
    // a PDF file is finished when JobEnded names it.
    connect(
        &follower_, &CupsJobFollower::finished, this,
        [this](int owner, const QString&, int job, const QString& state, const QString& reason) {
            sendSignal(objectPath(owner), Bus::kJobsInterface, QStringLiteral("JobFinished"),
                       {QString::number(job), state, reason});
        });
    connect(&follower_, &CupsJobFollower::idle, this, &PrintService::jobsFollowed);
    // Every client that leaves, not only those that own objects: one whose call waits for the
    // user, or waits in its context's queue, must not be waited for.
    connection_.connect(QStringLiteral("org.freedesktop.DBus"),
                        QStringLiteral("/org/freedesktop/DBus"),
                        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"),
                        this, SLOT(nameOwnerChanged(QString, QString, QString)));
}

void PrintService::nameOwnerChanged(const QString& name, const QString&, const QString& newOwner) {
    if (name.startsWith(QLatin1Char(':')) && newOwner.isEmpty()) clientLeft(name);
}

void PrintService::clientLeft(const QString& client) {
    std::vector<Shared> waiting;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (anyContextBusy()) departed_.insert(client);
        for (const auto& entry : contexts_)
            if (entry.second->caller == client) waiting.push_back(entry.second);
    }
    // Nobody is left to answer for that client: its confirmation counts as "Afbreken", any
    // other question as cancelled.
    for (const Shared& shared : waiting) shared->context->windows().closeQuestions();
    ownerLeft(client);
    accounts_.forget(client);
    runIdleActions();  // forgets the client once the calls now queued have run
}

PrintService::~PrintService() {
    if (front_) {
        front_->detach();
        connection_.unregisterObject(QStringLiteral("/"));
        BusFront::dispose(front_);
    }
    releaseAll();
    BusOutbox::dispose(outbox_);
}

int PrintService::objectCount() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(objects_.size());
}

bool PrintService::registerObjects() {
    if (!front_) front_ = BusFront::registerAt(connection_, *this);
    return front_ != nullptr;
}

void PrintService::releaseAll() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    // The calls under way end first; a window one of them asks for is served meanwhile.
    for (;;) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (!anyContextBusy() && !anyRetiredBusy()) break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    endRetired();
    // Every context is idle: its objects are released here, in the order they were created.
    for (;;) {
        int id = 0;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (objects_.empty()) break;
            id = objects_.begin()->first;
        }
        reportUndelivered(id, releaseObject(id));
    }
    std::map<QString, Shared> contexts;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        contexts.swap(contexts_);
    }
}

void PrintService::runWhenIdle(std::function<void()> action) {
    idleActions_.push_back(std::move(action));
    runIdleActions();
}

bool PrintService::anyContextBusy() const {
    for (const auto& entry : contexts_)
        if (entry.second->queue.busy()) return true;
    return false;
}

void PrintService::runIdleActions() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (anyContextBusy() || anyRetiredBusy()) {
            // Asked again shortly, for as long as something waits for the contexts to be idle.
            if (!idleActions_.empty() || !departed_.empty())
                QTimer::singleShot(20, this, &PrintService::runIdleActions);
            return;
        }
        departed_.clear();
    }
    std::vector<std::function<void()>> actions = std::move(idleActions_);
    idleActions_.clear();
    for (const std::function<void()>& action : actions) action();
}

void PrintService::closeConfirmations() {
    std::vector<Shared> contexts;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& entry : contexts_) contexts.push_back(entry.second);
    }
    // Closing a question ends its wait on its context's thread.
    for (const Shared& shared : contexts) shared->context->windows().closeQuestions();
}

PrintService::Shared PrintService::contextFor(const QString& key, const QString& creator) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (const auto found = contexts_.find(key); found != contexts_.end()) return found->second;
    const std::shared_ptr<DescriptorAccount> account = accounts_.of(creator);
    DescriptorShare descriptors = DescriptorShare::forContext(account);
    Shared& shared = contexts_[key];
    shared = std::make_shared<SharedContext>();
    shared->key = key;
    shared->context = std::make_shared<PrintContext>();
    shared->descriptors = std::move(descriptors);
    shared->context->files().chargeTo(account);
    // A job's events go to the object whose output started it, on its path even after its
    // release (paths are never reused), so that its client learns what became of its job. They
    // are sent from the context's thread, before the reply of the call that ended the job.
    PrintJobs& jobs = shared->context->jobs();
    connect(
        &jobs, &PrintJobs::sheetFinished, this,
        [this](int owner, int32_t sheet) {
            if (owner > 0)
                sendSignal(objectPath(owner), Bus::kEventInterface, QStringLiteral("BladAfgedrukt"),
                           {sheet});
        },
        Qt::DirectConnection);
    connect(
        &jobs, &PrintJobs::jobEnded, this,
        [this](int owner, const EndedJob& job) {
            if (owner <= 0) return;
            sendSignal(objectPath(owner), Bus::kJobsInterface, QStringLiteral("JobEnded"),
                       {job.destination, job.document, job.pages});
            if (job.destination.startsWith(QLatin1String("pdf:"))) return;
            const QString destination = job.destination;
            const int document = job.document.toInt();
            // The follower asks CUPS on a timer of the GUI thread.
            postToGuiThread(&follower_, [this, owner, destination, document] {
                follower_.follow(owner, destination, document);
            });
        },
        Qt::DirectConnection);
    return shared;
}

void PrintService::settle(const Shared& shared) {
    if (shared->objects > 0 || shared->queue.waiting() > 0) return;
    const auto it = contexts_.find(shared->key);
    if (it == contexts_.end() || it->second != shared) return;
    // Its client may create another at once; the job's descriptors stay until it is written.
    shared->descriptors.leaveAccount();
    retired_.push_back(shared);
    contexts_.erase(it);
    postToGuiThread(this, [this] { endRetired(); });
}

bool PrintService::anyRetiredBusy() const {
    for (const Shared& shared : retired_)
        if (shared->queue.busy()) return true;
    return false;
}

void PrintService::endRetired() {
    std::vector<Shared> ending;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        // One whose last call is still unwinding is ended on a later turn.
        const auto idle = std::stable_partition(retired_.begin(), retired_.end(),
                                                [](const Shared& s) { return s->queue.busy(); });
        ending.assign(std::make_move_iterator(idle), std::make_move_iterator(retired_.end()));
        retired_.erase(idle, retired_.end());
        if (!retired_.empty()) QTimer::singleShot(20, this, &PrintService::endRetired);
    }
}

PrintService::Shared PrintService::heldIn(int id) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = objects_.find(id);
    return it == objects_.end() ? Shared() : it->second.shared;
}

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

QDBusMessage PrintService::create(const QDBusMessage& message, int id, const Shared& shared,
                                  bool persistent, const QString& printer,
                                  const JobOptions& jobOptions) {
    // The object's grid is measured on the sheet its own destination and options give.
    std::unique_ptr<clsPrint> print;
    {
        const PrintJobs::Scope caller(shared->context->jobs(), id, printer, jobOptions);
        print = std::make_unique<clsPrint>(shared->context);
    }
    connectEvents(*print, objectPath(id));
    const QString owner = persistent ? QString() : message.service();
    clsPrint& created = *print;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        objects_[id] = PrintObject{std::move(print), shared, owner, printer, jobOptions, {}};
        shared->objects += 1;
    }
    publish(id, created);
    Q_EMIT objectCountChanged(objectCount());
    if (!owner.isEmpty()) {
        // A client that left before the server was watching (its call queued for the server
        // that the bus was starting) would never be seen leaving.
        QDBusMessage ask = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
        ask << owner;
        const QDBusMessage known = connection_.call(ask);
        if (known.type() == QDBusMessage::ReplyMessage && !known.arguments().value(0).toBool()) {
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

QDBusMessage PrintService::runOnObject(int id, const std::function<QDBusMessage(clsPrint&)>& body) {
    clsPrint& print = object(id);
    QString printer;
    JobOptions options;
    std::shared_ptr<PrintContext> context;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const PrintObject& entry = objects_.at(id);
        printer = entry.printer;
        options = entry.options;
        context = entry.shared->context;
    }
    const PrintJobs::Scope caller(context->jobs(), id, printer, options);
    const PropertySnapshot before(print);
    auto announce = [&] {
        const QVariantMap changed = before.changes(print);
        if (!changed.isEmpty()) outbox_->post(propertiesChangedSignal(objectPath(id), changed));
        publish(id, print, &changed);
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

void PrintService::publish(int id, clsPrint& print, const QVariantMap* changed) {
    QVariantMap properties;
    if (!changed)
        for (const PropertySpec& property : clsPrintProperties())
            properties.insert(property.name, property.wire(print));
    QVariantMap reads;
    for (const MethodSpec& method : clsPrintMethods()) {
        if (method.access != Access::Read) continue;
        Arguments none;
        reads.insert(method.name, resultToWire(method, method.invoke(print, none)));
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = objects_.find(id);
    if (it == objects_.end()) return;
    Published& state = it->second.published;
    if (changed)
        for (auto value = changed->begin(); value != changed->end(); ++value)
            state.properties.insert(value.key(), value.value());
    else
        state.properties = std::move(properties);
    state.reads = std::move(reads);
}

PrintService::Published PrintService::published(int id) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = objects_.find(id);
    if (it == objects_.end())
        throw BusError{kUnknownObject, QStringLiteral("No object at %1").arg(objectPath(id))};
    return it->second.published;
}

QDBusMessage PrintService::release(const QDBusMessage& message, int id) {
    object(id);
    // The object is gone either way; a job that did not reach its destination is the answer.
    if (std::optional<VbError> undelivered = releaseObject(id)) throw *undelivered;
    return message.createReply();
}

clsPrint& PrintService::object(int id) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = objects_.find(id);
    if (it == objects_.end())
        throw BusError{kUnknownObject, QStringLiteral("No object at %1").arg(objectPath(id))};
    return *it->second.print;
}

std::optional<VbError> PrintService::releaseObject(int id) {
    std::unique_ptr<clsPrint> print;
    Shared shared;
    QString printer;
    JobOptions options;
    {
        // Out of the table first, so that nothing reaches the object while its release runs.
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto it = objects_.find(id);
        if (it == objects_.end()) return std::nullopt;
        print = std::move(it->second.print);
        shared = it->second.shared;
        printer = it->second.printer;
        options = it->second.options;
        objects_.erase(it);
    }
    std::optional<VbError> undelivered;
    {
        const PrintJobs::Scope caller(shared->context->jobs(), id, printer, options);
        undelivered = print->Terminate();
        print.reset();
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        shared->objects -= 1;
    }
    Q_EMIT objectCountChanged(objectCount());
    return undelivered;
}

void PrintService::ownerLeft(const QString& owner) {
    // Each context releases the client's objects in the order of its own calls: one that waits
    // for the user does so when its wait has ended.
    const std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Shared> contexts;
    for (const auto& entry : objects_)
        if (entry.second.owner == owner &&
            std::find(contexts.begin(), contexts.end(), entry.second.shared) == contexts.end())
            contexts.push_back(entry.second.shared);
    for (const Shared& shared : contexts) {
        shared->queue.post([this, owner, shared] {
            std::vector<int> owned;
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                for (const auto& [id, entry] : objects_)
                    if (entry.owner == owner && entry.shared == shared) owned.push_back(id);
            }
            for (int id : owned) reportUndelivered(id, releaseObject(id));
            const std::lock_guard<std::mutex> lock(mutex_);
            settle(shared);
        });
    }
}

void PrintService::reportUndelivered(int id, const std::optional<VbError>& undelivered) {
    // The client that could have been told has left: the server's log is all that remains.
    if (undelivered)
        std::fprintf(stderr, "zelprint: %s: %s\n", qPrintable(objectPath(id)), undelivered->what());
}

void PrintService::connectEvents(clsPrint& print, const QString& path) {
    // Sent from the context's thread, before the reply of the call that raised it.
    connect(
        &print, &clsPrint::Melding, this,
        [this, path](int32_t FoutNummer, const QString& Tekst) {
            sendSignal(path, Bus::kEventInterface, QStringLiteral("Melding"), {FoutNummer, Tekst});
        },
        Qt::DirectConnection);
}

void PrintService::sendSignal(const QString& path, const QString& interface, const QString& name,
                              const QList<QVariant>& arguments) {
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(arguments);
    outbox_->post(signal);
}

}  // namespace zel
