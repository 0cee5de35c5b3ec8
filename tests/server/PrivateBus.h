#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTemporaryDir>
#include <functional>

// A dbus-daemon of the test's own, so that server and clients meet on a real bus without
// touching the session. Each connection is a separate client of it.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    bool started() const { return !address_.isEmpty(); }

    // A new connection under the given name (closed by disconnect or at the end).
    QDBusConnection connect(const QString& name);
    void disconnect(const QString& name);

private:
    QTemporaryDir dir_;
    // Started with fork and exec, which ThreadSanitizer follows (Qt's own way past fork is
    // hidden from it and would make it misread the threads of the process).
    int daemon_ = -1;
    QString address_;
    QStringList names_;
};

// Sends a call and runs the event loop until its reply arrives (the server under test answers
// from this same thread). An invalid message after the timeout.
QDBusMessage callAndWait(const QDBusConnection& connection, const QDBusMessage& call,
                         int timeoutMs = 10000);

// Runs the event loop until the condition holds or the time is up.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000);
