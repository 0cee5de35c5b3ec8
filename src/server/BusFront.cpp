#include "server/BusFront.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include "server/PrintService.h"

namespace zel {

BusFront::BusFront(PrintService& service) : service_(&service) {}

void BusFront::detach() {
    const std::lock_guard<std::mutex> lock(mutex_);
    service_ = nullptr;
}

QString BusFront::introspect(const QString& path) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return service_ ? service_->introspect(path) : QString();
}

bool BusFront::handleMessage(const QDBusMessage& message, const QDBusConnection&) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!service_ || message.type() != QDBusMessage::MethodCallMessage) return false;
    service_->take(message);
    return true;
}

QThread* busReadingThread(const QDBusConnection& connection) {
    // The bus's own interface object is a child of QtDBus's connection, on its thread.
    const QDBusConnectionInterface* bus = connection.interface();
    return bus ? bus->thread() : nullptr;
}

}  // namespace zel
