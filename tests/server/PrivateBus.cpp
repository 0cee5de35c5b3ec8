#include "PrivateBus.h"

#include <QCoreApplication>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QFile>

namespace {

const char* const kConfig =
    "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
    "<busconfig>\n"
    "  <type>session</type>\n"
    "  <listen>unix:dir=%1</listen>\n"
    "  <auth>EXTERNAL</auth>\n"
    "  <policy context=\"default\">\n"
    "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
    "    <allow eavesdrop=\"true\"/>\n"
    "    <allow own=\"*\"/>\n"
    "  </policy>\n"
    "</busconfig>\n";

}  // namespace

PrivateBus::PrivateBus() {
    const QString config = dir_.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(QString::fromLatin1(kConfig).arg(dir_.path()).toUtf8());
    file.close();
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + config, QStringLiteral("--print-address"),
                   QStringLiteral("--nofork")});
    if (!daemon_.waitForStarted(5000)) return;
    QElapsedTimer clock;
    clock.start();
    while (!daemon_.canReadLine() && clock.elapsed() < 5000) daemon_.waitForReadyRead(100);
    address_ = QString::fromLatin1(daemon_.readLine()).trimmed();
}

PrivateBus::~PrivateBus() {
    for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
    daemon_.terminate();
    daemon_.waitForFinished(5000);
}

QDBusConnection PrivateBus::connect(const QString& name) {
    names_ << name;
    return QDBusConnection::connectToBus(address_, name);
}

void PrivateBus::disconnect(const QString& name) {
    names_.removeAll(name);
    QDBusConnection::disconnectFromBus(name);
}

QDBusMessage callAndWait(const QDBusConnection& connection, const QDBusMessage& call,
                         int timeoutMs) {
    QDBusPendingCall pending = connection.asyncCall(call, timeoutMs);
    if (!waitFor([&pending] { return pending.isFinished(); }, timeoutMs)) return QDBusMessage();
    return pending.reply();
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
