#include "gui/Serve.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QTimer>
#include <cstdio>

#include "app/ProcessSetup.h"
#include "gui/GuiApplication.h"
#include "gui/TermSignals.h"
#include "server/BusReading.h"
#include "server/Introspection.h"
#include "server/PrintService.h"

namespace zel {

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "zelprint: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int serve(int argc, char** argv, const ServeOptions& options) {
    setUpLongRunningProcess();
    setUpFontconfig();
    const std::unique_ptr<QApplication> app = makeGuiApplication(argc, argv, options.offscreen);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return fail(
            QStringLiteral("cannot connect to the session bus: %1").arg(bus.lastError().message()));
    readEveryMessage(bus);
    keepReadBuffers();
    // Caught until the last job is written: a second signal while the jobs are ended at the
    // first must not cut them off.
    TermSignals signals_;
    {
        PrintService service(bus);
        if (!service.registerObjects())
            return fail(QStringLiteral("cannot register the objects on the session bus"));
        if (!bus.registerService(Bus::kServiceName))
            return fail(QStringLiteral("the bus name %1 is taken").arg(Bus::kServiceName));

        // Leaving waits for calls in progress, so that no confirmation is cut off.
        auto quit = [&service] { service.runWhenIdle([] { QCoreApplication::quit(); }); };
        // Told to stop (a signal, the session ending), nobody will answer an open confirmation:
        // closing it counts as "Afbreken", which ends the wait so that the jobs can be ended.
        auto terminate = [&service, quit] {
            service.closeConfirmations();
            quit();
        };

        QTimer linger;
        linger.setSingleShot(true);
        linger.setInterval(options.lingerSeconds * 1000);
        // Jobs followed at CUPS keep the server up (for a bounded time) so that their clients
        // learn how they ended; the linger starts again when the last one is told.
        QObject::connect(&linger, &QTimer::timeout, [&service, quit] {
            if (!service.followingJobs()) quit();
        });
        QObject::connect(&service, &PrintService::objectCountChanged, &linger,
                         [&linger](int count) { count == 0 ? linger.start() : linger.stop(); });
        QObject::connect(&service, &PrintService::jobsFollowed, &linger, [&service, &linger] {
            if (service.objectCount() == 0) linger.start();
        });
        linger.start();

        QObject::connect(&signals_, &TermSignals::terminate, terminate);

        // A bus that goes away (the session ends) takes every client with it.
        QTimer busWatch;
        QObject::connect(&busWatch, &QTimer::timeout, [&bus, terminate] {
            if (!bus.isConnected()) terminate();
        });
        busWatch.start(1000);

        app->exec();
        bus.unregisterService(Bus::kServiceName);
        service.releaseAll();
        bus.unregisterObject(QStringLiteral("/"));
    }
    return 0;
}

}  // namespace zel
