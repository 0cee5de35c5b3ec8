#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QThread>
#include <cstdio>

// Not a test of its own: the end-to-end scripts start it (with --gtest_also_run_disabled_tests)
// as a client that creates an object on the session bus, prints its path and holds its
// connection until it is killed, so that they can watch what a client's leaving does.
TEST(HoldingClient, DISABLED_CreatesAnObjectAndHoldsItsConnection) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected());
    const QDBusMessage reply =
        bus.call(QDBusMessage::createMethodCall("ZelPrintDemo.clsPrint", "/", "ZelPrintDemo.Server",
                                                "Create")
                 << QVariantMap());
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << qPrintable(reply.errorMessage());
    std::printf("%s\n", qPrintable(reply.arguments().at(0).value<QDBusObjectPath>().path()));
    std::fflush(stdout);
    for (;;) {
        QCoreApplication::processEvents();
        QThread::msleep(50);
    }
}
