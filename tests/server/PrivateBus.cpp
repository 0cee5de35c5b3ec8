#include "PrivateBus.h"

#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QFile>
#include <csignal>
#include <cstdio>

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
    int out[2];
    if (::pipe(out) != 0) return;
    const QByteArray option = (QStringLiteral("--config-file=") + config).toLocal8Bit();
    daemon_ = ::fork();
    if (daemon_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::execlp("dbus-daemon", "dbus-daemon", option.constData(), "--print-address", "--nofork",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    if (daemon_ < 0) {
        ::close(out[0]);
        return;
    }
    // The address is the daemon's first line.
    QByteArray line;
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(out[0]);
    address_ = QString::fromLatin1(line).trimmed();
}

PrivateBus::~PrivateBus() {
    for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
    if (daemon_ <= 0) return;
    ::kill(daemon_, SIGTERM);
    ::waitpid(daemon_, nullptr, 0);
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
