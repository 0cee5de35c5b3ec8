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
    // A front for the service registered at `/` and below it, then moved to the thread where
    // QtDBus reads the connection (QtDBus gives the object a child of its own as it registers
    // it, on the registering thread); null when the path is taken.
    static BusFront* registerAt(const QDBusConnection& connection, PrintService& service);
    // No call reaches the service once this returns (a call under way ends first).
    void detach();
    // Deletes the front on the thread that made it, once QtDBus no longer knows it: QtDBus learns
    // of an object's end by a call that its own thread runs while the ending thread waits.
    static void dispose(BusFront* front);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    explicit BusFront(PrintService& service);
    Q_INVOKABLE void returnHome();

    QThread* home_;  // the thread that made it
    mutable std::mutex mutex_;
    PrintService* service_;
};

}  // namespace zel
