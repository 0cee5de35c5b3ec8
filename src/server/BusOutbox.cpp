#include "server/BusOutbox.h"

#include <QDBusConnectionInterface>
#include <QThread>

namespace zel {

BusOutbox::BusOutbox(const QDBusConnection& connection)
    : connection_(connection), home_(QThread::currentThread()), timer_(this) {
    timer_.setInterval(kHoldMs);
    connect(&timer_, &QTimer::timeout, this, &BusOutbox::tick);
    // The bus's own interface object is a child of QtDBus's connection, on its thread. Moved
    // under the lock that every member takes first, so that the hand-over is seen as ordered.
    if (const QDBusConnectionInterface* reader = connection_.interface()) {
        const std::lock_guard<std::mutex> lock(mutex_);
        moveToThread(reader->thread());
    }
}

void BusOutbox::dispose(BusOutbox* outbox) {
    const bool away = outbox->thread() != QThread::currentThread();
    QMetaObject::invokeMethod(outbox, "returnHome",
                              away ? Qt::BlockingQueuedConnection : Qt::DirectConnection);
    { const std::lock_guard<std::mutex> seen(outbox->mutex_); }
    delete outbox;
}

void BusOutbox::returnHome() {
    std::vector<QDBusMessage> held;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        timer_.stop();
        held.swap(held_);
        moveToThread(home_);
    }
    for (const QDBusMessage& message : held) connection_.send(message);
}

void BusOutbox::post(const QDBusMessage& message) {
    give(message, false);
}

void BusOutbox::send(const QDBusMessage& message) {
    give(message, true);
}

void BusOutbox::give(const QDBusMessage& message, bool atOnce) {
    const char* wake = nullptr;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        // A signal is held; a reply only behind messages held before it.
        if (!closed_ && (!atOnce || !held_.empty())) {
            held_.push_back(message);
            bool& asked = atOnce ? drainPosted_ : armed_;
            if (asked) return;
            asked = true;
            wake = atOnce ? "drain" : "arm";
        }
    }
    // With nothing held, QtDBus's own hand-over keeps the message behind all this thread gave
    // before: a drain under way runs on QtDBus's thread, which takes the message after it.
    if (wake)
        QMetaObject::invokeMethod(this, wake, Qt::QueuedConnection);
    else
        connection_.send(message);
}

void BusOutbox::arm() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (armed_ && !timer_.isActive()) timer_.start();
}

void BusOutbox::drain() {
    std::vector<QDBusMessage> held;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        drainPosted_ = false;
        held.swap(held_);
    }
    for (const QDBusMessage& message : held) connection_.send(message);
}

void BusOutbox::tick() {
    std::vector<QDBusMessage> held;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (held_.empty()) {
            // A run of signals has ended: the next one starts the timer again.
            armed_ = false;
            timer_.stop();
            return;
        }
        held.swap(held_);
    }
    for (const QDBusMessage& message : held) connection_.send(message);
}

}  // namespace zel
