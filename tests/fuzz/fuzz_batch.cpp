// ZelPrintDemo.Batch.Run as a client sends it: calls of the print object's members and of
// names that are none, with required arguments of every wire kind (and sometimes too few or too
// many), and option maps with known and unknown keys. The batch crosses a real D-Bus
// connection, so that it is read from the wire as the server reads it, and runs on a new print
// object printing to a recording printer. Questions are answered at once, so that the screen
// modes' confirmation never waits. Every batch gets a reply: its results up to the first error.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusServer>
#include <QDBusVirtualObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "FuzzApplication.h"
#include "FuzzInput.h"
#include "WireValue.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "server/BatchRun.h"
#include "server/Members.h"
#include "server/WireCodec.h"
#include "support/BatchCall.h"
#include "support/RecordingPrinterSurface.h"
#include "windows/PrintWindows.h"
#include "windows/Questions.h"
#include "windows/frmOk.h"
#include "windows/frmPrint.h"

namespace {

const QString kPath = QStringLiteral("/clsPrint/1");

// The server's side of the connection: runs the batch on a print object made for it, as the
// server's dispatcher does once the signature is checked.
class BatchObject : public QDBusVirtualObject {
public:
    zel::RecordingPrinterSurface* printer = nullptr;
    std::shared_ptr<zel::PrintContext> context;

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.signature() != zel::kBatchRunSignature) {
            connection.send(message.createErrorReply(QDBusError::InvalidArgs, QString()));
            return true;
        }
        zel::clsPrint print(context);
        connection.send(zel::runBatch(message, print));
        printer->clearCalls();
        return true;
    }
};

// The members a batch may name. A template asks for a file by name and reads it, which the
// input must not steer to any file of this machine.
QStringList memberNames() {
    QStringList names;
    for (const zel::MethodSpec& method : zel::clsPrintMethods())
        if (method.name != QLatin1String("PrintFromSjabloon")) names << method.name;
    return names;
}

QStringList optionNames() {
    QStringList names;
    for (const zel::MethodSpec& method : zel::clsPrintMethods())
        for (const zel::OptionalParameter& parameter : method.optional) names << parameter.name;
    return names;
}

// Answers every question as soon as it shows: the confirmation with Ok, anything else by
// closing it (Cancel where it has one).
void answerAtOnce(QWidget* question) {
    if (auto* ok = qobject_cast<zel::frmOk*>(question))
        ok->cmdOk()->click();
    else
        question->close();
}

struct Connection {
    QTemporaryDir dir;
    std::unique_ptr<QDBusServer> server;
    BatchObject object;
    QDBusConnection client{QString()};

    Connection() {
        ensureApplication();
        qputenv("ZELPRINT_PRINTER", ("pdf:" + dir.path()).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
        // Millions of messages: Qt's warnings about values it cannot marshal are expected.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtFatalMsg) {
                std::fprintf(stderr, "%s\n", qPrintable(text));
                std::abort();
            }
        });
        zel::registerWireTypes();
        qDBusRegisterMetaType<BatchCall>();
        qDBusRegisterMetaType<QList<BatchCall>>();
        auto printer = std::make_unique<zel::RecordingPrinterSurface>();
        object.printer = printer.get();
        object.context = std::make_shared<zel::PrintContext>(std::move(printer));
        zel::installAnswerer(answerAtOnce);

        server = std::make_unique<QDBusServer>(QStringLiteral("unix:dir=") + dir.path());
        bool connected = false;
        QObject::connect(server.get(), &QDBusServer::newConnection,
                         [this, &connected](const QDBusConnection& serverSide) {
                             QDBusConnection(serverSide).registerVirtualObject(kPath, &object);
                             connected = true;
                         });
        client = QDBusConnection::connectToPeer(server->address(), QStringLiteral("fuzz"));
        while (!connected) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
};

BatchCall call(FuzzInput& in, const QStringList& members, const QStringList& options) {
    static const QStringList garbage = {QString(), QStringLiteral("addtekst"),
                                        QStringLiteral("Release"), QStringLiteral("Run")};
    BatchCall call;
    const uint8_t choice = in.number<uint8_t>();
    const zel::MethodSpec* method = nullptr;
    if (choice < 240) {
        call.member = members.at(choice % members.size());
        method = zel::findMethod(call.member);
    } else if (choice < 250) {
        call.member = garbage.at(choice % garbage.size());
    } else {
        call.member = in.text();
    }
    // Mostly the number of arguments the member takes, sometimes one more or one less.
    qsizetype count = method ? method->required.size() : 1;
    const uint8_t arity = in.number<uint8_t>();
    if (arity > 240) count += arity % 2 ? 1 : -1;
    for (qsizetype i = 0; i < count; ++i) call.args << wireValue(in, 2);
    for (uint8_t n = in.number<uint8_t>() % 4; n > 0; --n) {
        const uint8_t key = in.number<uint8_t>();
        const QString name = key < 200 ? options.at(key % options.size()) : in.text();
        call.options.insert(name, wireValue(in, 2));
    }
    return call;
}

qsizetype resultCount(const QDBusMessage& reply) {
    const QDBusArgument results = reply.arguments().at(0).value<QDBusArgument>();
    qsizetype count = 0;
    results.beginArray();
    while (!results.atEnd()) {
        QDBusVariant value;
        results >> value;
        ++count;
    }
    results.endArray();
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Connection* connection = new Connection;  // lives as long as the process
    static const QStringList members = memberNames();
    static const QStringList options = optionNames();
    FuzzInput in(data, size);
    // The print object starts in the screen mode; most batches print.
    QList<BatchCall> calls;
    if (in.number<uint8_t>() % 4 != 0) calls << BatchCall{QStringLiteral("SetMode"), {"P"}, {}};
    while (!in.atEnd() && calls.size() < 64) calls << call(in, members, options);

    QDBusMessage message = QDBusMessage::createMethodCall(
        QString(), kPath, zel::Bus::kBatchInterface, QStringLiteral("Run"));
    message << QVariant::fromValue(calls);
    QDBusPendingCall pending = connection->client.asyncCall(message, 60000);
    while (!pending.isFinished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const QDBusMessage reply = pending.reply();
    // No window that was shown outlives its batch: one still open at exit would be torn down
    // after the thread-local data Qt needs for that is gone. A window never shown has nothing to
    // tear down, and loading it again for every batch would take most of the run's time.
    zel::ContextWindows& windows = connection->object.context->windows();
    if (windows.frmLoaded() &&
        static_cast<zel::PrintWindows&>(windows.loaded()).frm().windowHandle())
        windows.unloadFrm();
    windows.unloadOk();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // A value the bus cannot carry (an invalid path or signature) fails on the client's side.
    if (reply.type() == QDBusMessage::ErrorMessage) return 0;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("avis"))
        std::abort();
    // One result for each call that ran: all of them, or those before the one that failed.
    const int failedIndex = reply.arguments().at(1).toInt();
    const qsizetype ran = failedIndex == -1 ? calls.size() : failedIndex;
    if (failedIndex < -1 || failedIndex >= calls.size() || resultCount(reply) != ran) std::abort();
    return 0;
}
