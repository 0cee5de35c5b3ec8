#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

#include "server/ClientAccounts.h"
#include "server/ContextQueue.h"
#include "surface/CupsJobFollower.h"
#include "surface/JobOptions.h"
#include "variant/VbError.h"

namespace zel {

class BusFront;
class BusOutbox;
class clsPrint;
class PrintContext;
struct MethodSpec;

// The print objects on the bus: `/` with ZelPrintDemo.Server (Create), and one path
// `/clsPrint/N` per clsPrint with its members, properties and events. Every call is answered
// here, errors included: no exception leaves a handler.
//
// Objects live in print contexts (printer and job, page grid, windows): the objects one client
// connection creates share one, a persistent object has one of its own, and the option Group
// names one that objects of any connection share. Each context runs its calls in order on a
// thread of its own, which also sends their replies and signals: a call that waits for the user
// or prints for long holds only its context. Calls arrive on the thread where QtDBus reads the
// bus, which answers reads at once, from the state each object publishes after each call, and
// hands every other call to its context; only what makes a context (Create) passes through the
// GUI thread.
// Its members are defined in files by concern: the service's lifetime and its objects, the
// print contexts, and the calls from the bus with their replies.
class PrintService : public QObject {
    Q_OBJECT
public:
    explicit PrintService(const QDBusConnection& connection, QObject* parent = nullptr);
    ~PrintService() override;  // releases every object still open

    // Registers the object tree on the connection; false when the path is taken.
    bool registerObjects();

    int objectCount() const;
    // True while a job handed to CUPS is followed to its end (JobFinished still to come).
    bool followingJobs() const { return follower_.following(); }
    // Releases every object (ending their print jobs), in the order they were created.
    void releaseAll();
    // Runs an action (on this thread) once no context has a call queued or in progress (at once
    // when none has).
    void runWhenIdle(std::function<void()> action);
    // Closes every open confirmation, as "Afbreken": nobody is left to answer them.
    void closeConfirmations();

    // The interfaces and children at a path, for QtDBus's introspection.
    QString introspect(const QString& path) const;
    // A call to `/` or below it, as the bus delivers it (on any thread): answered, or handed to
    // where it runs.
    void take(const QDBusMessage& message);

Q_SIGNALS:
    void objectCountChanged(int count);
    // The last followed job is finished.
    void jobsFollowed();

private Q_SLOTS:
    void nameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    // One print context on the bus and the queue of the calls into it. objects and caller are
    // the service's (under mutex_); the context itself is reached from its queue only.
    struct SharedContext {
        QString key;  // "connection:NAME", "object:N" or "group:NAME"
        // Kept for its job and charged to the client that made it; given back after the
        // context, which ends its job when it goes.
        DescriptorShare descriptors;
        std::shared_ptr<PrintContext> context;
        int objects = 0;
        QString caller;      // the connection whose call runs now (it may wait for the user)
        ContextQueue queue;  // last: its thread ends before the rest goes
    };
    using Shared = std::shared_ptr<SharedContext>;

    // What reads are answered from: the properties and read members as the object's last call
    // left them, each in its wire form.
    struct Published {
        QVariantMap properties;
        QVariantMap reads;
    };

    // The table entry is the service's (under mutex_); print is reached from its context's
    // queue only.
    struct PrintObject {
        std::unique_ptr<clsPrint> print;
        Shared shared;
        QString owner;       // the unique name of the creating connection; empty when persistent
        QString printer;     // the destination chosen at Create; empty for the usual choice
        JobOptions options;  // JobOptions and Title given at Create
        Published published;
    };

    void dispatchMessage(const QDBusMessage& message);
    void dispatch(const QDBusMessage& message);
    void dispatchServer(const QDBusMessage& message);
    void dispatchProperties(const QDBusMessage& message, int id);
    void dispatchIntrospect(const QDBusMessage& message);

    // Runs the body for a read at once (heldIn null), for any other call on the queue of its
    // context, and sends its reply or the error reply.
    void answer(const QDBusMessage& message, const Shared& heldIn,
                std::function<QDBusMessage(const QDBusMessage&)> body);
    Shared heldIn(int id) const;  // the context of an object, null when it is gone
    // The context of that key, made for the creator when there is none (67 past its maxima).
    Shared contextFor(const QString& key, const QString& creator);
    // Forgets a context that has no object and no queued call any more (called on its queue,
    // after its call): it is retired, and ended on this thread once its queue is idle (it ends
    // its job and closes its windows), never on its own thread after the windows are gone.
    void settle(const Shared& shared);
    void endRetired();
    bool anyRetiredBusy() const;
    void runIdleActions();
    bool anyContextBusy() const;
    // What the object's reads answer until its next call ends: every property, or only those
    // the call changed (as PropertiesChanged gave them).
    void publish(int id, clsPrint& print, const QVariantMap* changed = nullptr);
    Published published(int id) const;  // an error reply when the object is gone
    void sendError(const QDBusMessage& message, const QString& name, const QString& text);
    // The error reply to a message, or an invalid message when it wants none.
    static QDBusMessage errorReply(const QDBusMessage& message, const QString& name,
                                   const QString& text);

    QDBusMessage create(const QDBusMessage& message, int id, const Shared& shared, bool persistent,
                        const QString& printer, const JobOptions& jobOptions);
    QDBusMessage callMember(const QDBusMessage& message, int id, const MethodSpec& method);
    // Runs a call on the object as the printer's caller (so that a job it starts takes its
    // destination and reports to it), then tells its clients which properties the call changed,
    // whether it succeeded or failed.
    QDBusMessage runOnObject(int id, const std::function<QDBusMessage(clsPrint&)>& body);
    QDBusMessage release(const QDBusMessage& message, int id);
    clsPrint& object(int id);  // on its context's queue; an error reply when it is gone
    // Releases the object; the error that kept its job from the destination, if any.
    std::optional<VbError> releaseObject(int id);
    void reportUndelivered(int id, const std::optional<VbError>& undelivered);
    // A client left the bus: a confirmation its call waits for is aborted, its calls that wait
    // in a hold are dropped, and its objects are released.
    void clientLeft(const QString& client);
    void ownerLeft(const QString& owner);
    void connectEvents(clsPrint& print, const QString& path);
    void sendSignal(const QString& path, const QString& interface, const QString& name,
                    const QList<QVariant>& arguments);

    QDBusConnection connection_;
    BusOutbox* outbox_;          // every reply and signal goes through it, in order
    BusFront* front_ = nullptr;  // on the thread that reads the bus
    // Calls handed to the GUI thread and not yet dispatched there: while there are any, the
    // calls after them follow them, so that all are dispatched in the order they came.
    std::atomic<int> forwarded_{0};
    // Guards the tables below: held for lookups only, never while a member runs or a window is
    // asked (the GUI thread takes it too).
    mutable std::mutex mutex_;
    std::map<int, PrintObject> objects_;
    std::map<QString, Shared> contexts_;
    std::vector<Shared> retired_;                     // forgotten contexts, ended by the bus thread
    std::vector<std::function<void()>> idleActions_;  // the bus thread's
    // Clients that left while calls were queued; forgotten once no context is busy.
    std::set<QString> departed_;
    int nextId_ = 1;        // the bus thread's
    bool closing_ = false;  // releaseAll has begun: nothing more is queued
    CupsJobFollower follower_;
    ClientAccounts accounts_;
};

}  // namespace zel
