#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QTimer>
#include <mutex>
#include <vector>

namespace zel {

// What the server sends (replies and signals), handed to QtDBus's thread, which writes every
// message, in the order given. A signal may wait there up to kHoldMs for the ones after it, so
// that a long call's stream of signals (one per sheet) wakes that thread once per run instead
// of once each; a reply goes at once and takes every message before it along, so a client sees
// a call's signals before its reply, as before. The wait is kept by a timer of QtDBus's thread:
// however long the call that raised a signal goes on or waits, the signal goes out in time.
class BusOutbox : public QObject {
    Q_OBJECT
public:
    static constexpr int kHoldMs = 4;

    // Moved to the thread where QtDBus reads the connection (stays here when it has none).
    explicit BusOutbox(const QDBusConnection& connection);
    // Sends what is held, from any thread; deletes the outbox on the thread that made it.
    static void dispose(BusOutbox* outbox);

    // A signal, sent within kHoldMs (from any thread).
    void post(const QDBusMessage& message);
    // A reply or error: sent at once, after every message given before it (from any thread).
    void send(const QDBusMessage& message);

private:
    // Holds the message, or sends it when nothing is held and it goes at once (or the outbox
    // is closed), and asks QtDBus's thread for the timer or a drain where none is asked yet.
    void give(const QDBusMessage& message, bool atOnce);
    // On QtDBus's thread: every held message is sent; the timer goes on while messages come.
    // Invoked by name, so that the hand-over is Qt's own throughout (ThreadSanitizer does not
    // see Qt's queue ordering a functor's storage).
    Q_INVOKABLE void drain();
    Q_INVOKABLE void arm();         // starts the timer
    Q_INVOKABLE void returnHome();  // the last drain; the timer stops
    void tick();

    QDBusConnection connection_;
    QThread* home_;
    QTimer timer_;  // QtDBus's thread's
    std::mutex mutex_;
    std::vector<QDBusMessage> held_;
    bool armed_ = false;        // the timer runs, or is asked to start
    bool drainPosted_ = false;  // a drain at once is on its way
    bool closed_ = false;       // disposed: everything goes straight to QtDBus
};

}  // namespace zel
