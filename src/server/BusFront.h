#pragma once

#include <QDBusVirtualObject>
#include <mutex>

class QDBusConnection;

namespace zel {

class PrintService;

// The print objects' place in QtDBus's object tree, living on the thread where QtDBus reads the
// bus: a call reaches the service there, without waiting for the GUI thread to pass it on. The
// service decides where each call runs; the front only keeps it from being reached once it goes.
class BusFront : public QDBusVirtualObject {
    Q_OBJECT
public:
    explicit BusFront(PrintService& service);
    // No call reaches the service once this returns (a call under way ends first).
    void detach();

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    mutable std::mutex mutex_;
    PrintService* service_;
};

// The thread on which QtDBus reads the connection, or null when it cannot be told.
QThread* busReadingThread(const QDBusConnection& connection);

}  // namespace zel
