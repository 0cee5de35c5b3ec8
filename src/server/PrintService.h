#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "server/CallHold.h"
#include "server/ClientAccounts.h"
#include "surface/CupsJobFollower.h"
#include "surface/JobOptions.h"
#include "variant/VbError.h"

namespace zel {

class clsPrint;
class PrintContext;
struct MethodSpec;

// The print objects on the bus: `/` with ZelPrintDemo.Server (Create), and one path
// `/clsPrint/N` per clsPrint with its members, properties and events. Every call is answered
// here, errors included: no exception leaves a handler.
//
// Objects live in print contexts (printer and job, page grid, windows): the objects one client
// connection creates share one, a persistent object has one of its own, and the option Group
// names one that objects of any connection share. Each context holds its own calls while one of
// its calls waits for the user; the others go on.
class PrintService : public QDBusVirtualObject {
    Q_OBJECT
public:
    explicit PrintService(const QDBusConnection& connection, QObject* parent = nullptr);
    ~PrintService() override;  // releases every object still open

    // Registers the object tree on the connection; false when the path is taken.
    bool registerObjects();

    int objectCount() const { return static_cast<int>(objects_.size()); }
    // True while a job handed to CUPS is followed to its end (JobFinished still to come).
    bool followingJobs() const { return follower_.following(); }
    // Releases every object (ending their print jobs), in the order they were created.
    void releaseAll();
    // Runs an action once no context has a held call in progress (at once when none has).
    void runWhenIdle(std::function<void()> action);
    // Closes every open confirmation, as "Afbreken": nobody is left to answer them.
    void closeConfirmations();

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

Q_SIGNALS:
    void objectCountChanged(int count);
    // The last followed job is finished.
    void jobsFollowed();

private Q_SLOTS:
    void nameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    // One print context on the bus and the hold of the calls into it.
    struct SharedContext {
        QString key;  // "connection:NAME", "object:N" or "group:NAME"
        // Kept for its job and charged to the client that made it; given back after the
        // context, which ends its job when it goes.
        DescriptorShare descriptors;
        std::shared_ptr<PrintContext> context;
        CallHold hold;
        int objects = 0;
        QString caller;  // the connection whose held call runs now (it may wait for the user)
    };
    using Shared = std::shared_ptr<SharedContext>;

    struct PrintObject {
        std::unique_ptr<clsPrint> print;
        Shared shared;
        QString owner;       // the unique name of the creating connection; empty when persistent
        QString printer;     // the destination chosen at Create; empty for the usual choice
        JobOptions options;  // JobOptions and Title given at Create
    };

    void dispatch(const QDBusMessage& message);
    void dispatchServer(const QDBusMessage& message);
    void dispatchProperties(const QDBusMessage& message, int id);
    void dispatchIntrospect(const QDBusMessage& message);

    // Runs the body for a read at once (heldIn null), for a held call through the hold of its
    // context, and sends its reply or the error reply.
    void answer(const QDBusMessage& message, const Shared& heldIn,
                std::function<QDBusMessage(const QDBusMessage&)> body);
    Shared heldIn(int id) const;  // the context of an object, null when it is gone
    // The context of that key, made for the creator when there is none (67 past its maxima).
    Shared contextFor(const QString& key, const QString& creator);
    // Forgets a context that has no object and no waiting call any more; it ends its job and
    // closes its windows when its last object is gone.
    void settle(const Shared& shared);
    void runIdleActions();
    void sendError(const QDBusMessage& message, const QString& name, const QString& text);

    QDBusMessage create(const QDBusMessage& message, const Shared& shared, bool persistent,
                        const QString& printer, const JobOptions& jobOptions);
    QDBusMessage callMember(const QDBusMessage& message, int id, const MethodSpec& method);
    // Runs a call on the object as the printer's caller (so that a job it starts takes its
    // destination and reports to it), then tells its clients which properties the call changed,
    // whether it succeeded or failed.
    QDBusMessage runOnObject(int id, const std::function<QDBusMessage(clsPrint&)>& body);
    QDBusMessage release(const QDBusMessage& message, int id);
    clsPrint& object(int id);  // an error reply when the object is gone
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
    std::map<int, PrintObject> objects_;
    std::map<QString, Shared> contexts_;
    std::vector<std::function<void()>> idleActions_;
    // Clients that left while calls were held; forgotten once no hold is busy.
    std::set<QString> departed_;
    int nextId_ = 1;
    CupsJobFollower follower_;
    ClientAccounts accounts_;
};

}  // namespace zel
