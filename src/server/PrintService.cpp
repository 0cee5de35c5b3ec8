#include "server/PrintService.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QEventLoop>
#include <cstdio>

#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "server/BusError.h"
#include "server/BusFront.h"
#include "server/BusOutbox.h"
#include "server/Introspection.h"
#include "server/MemberCall.h"
#include "server/Members.h"
#include "server/ObjectPaths.h"
#include "server/PropertyChanges.h"
#include "server/WireCodec.h"
#include "surface/PrintJobs.h"
#include "variant/VbError.h"
#include "windows/PrintWindows.h"

namespace zel {

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
