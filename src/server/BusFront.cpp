#include "server/BusFront.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QThread>

#include "server/PrintService.h"

namespace zel {

namespace {

// Held where a front is made and taken where the bus's thread first reaches one: QtDBus hands the
// object over under a lock of its own, which ThreadSanitizer does not see.
std::mutex& handOver() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

BusFront::BusFront(PrintService& service) : home_(QThread::currentThread()), service_(&service) {}

BusFront* BusFront::registerAt(const QDBusConnection& connection, PrintService& service) {
    auto* front = new BusFront(service);
    QDBusConnection bus = connection;
    if (!bus.registerVirtualObject(QStringLiteral("/"), front, QDBusConnection::SubPath)) {
        delete front;
        return nullptr;
    }
    // The bus's own interface object is a child of QtDBus's connection, on its thread.
    if (const QDBusConnectionInterface* reader = bus.interface()) {
        const std::lock_guard<std::mutex> lock(handOver());
        front->moveToThread(reader->thread());
    }
    return front;
}

void BusFront::detach() {
    const std::lock_guard<std::mutex> lock(mutex_);
    service_ = nullptr;
}

void BusFront::dispose(BusFront* front) {
    front->detach();
    const bool away = front->thread() != QThread::currentThread();
    QMetaObject::invokeMethod(front, "returnHome",
                              away ? Qt::BlockingQueuedConnection : Qt::DirectConnection);
    { const std::lock_guard<std::mutex> seen(handOver()); }
    delete front;
}

void BusFront::returnHome() {
    const std::lock_guard<std::mutex> lock(handOver());
    moveToThread(home_);
}

QString BusFront::introspect(const QString& path) const {
    { const std::lock_guard<std::mutex> seen(handOver()); }
    const std::lock_guard<std::mutex> lock(mutex_);
    return service_ ? service_->introspect(path) : QString();
}

bool BusFront::handleMessage(const QDBusMessage& message, const QDBusConnection&) {
    { const std::lock_guard<std::mutex> seen(handOver()); }
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!service_ || message.type() != QDBusMessage::MethodCallMessage) return false;
    service_->take(message);
    return true;
}

}  // namespace zel
