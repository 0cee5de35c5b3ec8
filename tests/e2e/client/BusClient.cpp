// A D-Bus client of the print server for the end-to-end scripts, holding one connection for
// all its calls (busctl and gdbus make one per call):
//
//   bus-client report ID PAGES LINES [HOLD]   prints PAGES pages of LINES lines in mode "P",
//       token "<letter ID><line in base 36>" at position 1 + 4 ID; with HOLD, prints "ready"
//       after HOLD lines and waits to be killed. Exit 0 when every call was answered.
//   bus-client big MEGABYTES COUNT            COUNT texts of MEGABYTES million characters on one
//       line of a new object, each answered (its error name or "ok" printed), then a small line
//       "Na de grote tekst" that must print, and the release.
//   bus-client hostile CALLS SEED             CALLS generated bad calls on every member and
//       property of a new object; each must be answered within the reply timeout, a platform
//       error carrying its number. Then prints a page with "Na de aanval" and releases.
//
// Exit 1 and one line on standard error for the first call that breaks its promise.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QRandomGenerator>
#include <QThread>
#include <QXmlStreamReader>
#include <cmath>
#include <cstdio>
#include <limits>

#include "server/WireCodec.h"

namespace {

const QString kService = QStringLiteral("ZelPrintDemo.clsPrint");
const QString kObjectInterface = QStringLiteral("ZelPrintDemo._clsPrint");
constexpr int kTimeoutMs = 30000;

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "bus-client: %s\n", qPrintable(what));
    std::exit(1);
}

QDBusConnection& bus() {
    static QDBusConnection connection = QDBusConnection::sessionBus();
    if (!connection.isConnected()) fail("no session bus");
    return connection;
}

// A call that must be answered in time, with a result or one of the server's own errors.
QDBusMessage answered(const QDBusMessage& call) {
    const QDBusMessage reply = bus().call(call, QDBus::Block, kTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) return reply;
    const QString name = reply.errorName();
    if (reply.type() != QDBusMessage::ErrorMessage || name.endsWith(".NoReply") ||
        name.endsWith(".Timeout") || name.endsWith(".Disconnected") ||
        name.endsWith(".ServiceUnknown"))
        fail(call.member() + ": no answer: " + name + " " + reply.errorMessage());
    if (name.startsWith("ZelPrintDemo.Error")) {
        const QString number = name.mid(QStringLiteral("ZelPrintDemo.Error").size());
        if (!reply.errorMessage().startsWith(number + ": "))
            fail(call.member() + ": error without its number: " + reply.errorMessage());
    }
    return reply;
}

QDBusMessage method(const QString& path, const QString& member, const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, path, kObjectInterface, member);
    call.setArguments(args);
    return call;
}

QVariant v(const QVariant& value) {
    return QVariant::fromValue(QDBusVariant(value));
}

// Must succeed.
QDBusMessage ok(const QString& path, const QString& member, const QVariantList& args) {
    const QDBusMessage reply = answered(method(path, member, args));
    if (reply.type() != QDBusMessage::ReplyMessage)
        fail(member + " failed: " + reply.errorMessage());
    return reply;
}

QString create() {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, "/", "ZelPrintDemo.Server", "Create");
    call << QVariantMap();
    const QDBusMessage reply = answered(call);
    if (reply.type() != QDBusMessage::ReplyMessage) fail("Create: " + reply.errorMessage());
    return reply.arguments().value(0).value<QDBusObjectPath>().path();
}

QString token(int id, int line) {
    const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return QString(QChar('A' + id)) + QChar(digits[(line / 36) % 36]) + QChar(digits[line % 36]);
}

int report(int id, int pages, int lines, int hold) {
    const QString path = create();
    ok(path, "SetMode", {v("P")});
    int line = 0;
    for (int page = 0; page < pages; ++page) {
        for (int l = 0; l < lines; ++l, ++line) {
            if (line == hold) {
                std::printf("ready\n");
                std::fflush(stdout);
                for (;;) QThread::sleep(1);
            }
            ok(path, "AddTekst",
               {v(page * lines + l + 1), v(1 + 4 * id), v(token(id, line)), QVariantMap()});
        }
        if (page + 1 < pages) ok(path, "NieuwBlad", {v((page + 1) * lines + 1)});
    }
    ok(path, "Release", {});
    return 0;
}

int big(int megabytes, int count) {
    const QString path = create();
    ok(path, "SetMode", {v("P")});
    for (int i = 0; i < count; ++i) {
        const QDBusMessage reply = answered(
            method(path, "AddTekst",
                   {v(1), v(1), v(QString(megabytes * 1000000, QLatin1Char('x'))), QVariantMap()}));
        std::printf("%s\n", reply.type() == QDBusMessage::ReplyMessage
                                ? "ok"
                                : qPrintable(reply.errorName()));
    }
    ok(path, "AddTekst", {v(2), v(1), v("Na de grote tekst"), QVariantMap()});
    ok(path, "Cls", {});
    ok(path, "Release", {});
    return 0;
}

// Members and properties as the object describes itself.
struct Member {
    QString name;
    QStringList inTypes;
};
struct Description {
    QVector<Member> members;
    QStringList properties;
};

Description introspect(const QString& path) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, path, "org.freedesktop.DBus.Introspectable", "Introspect");
    QXmlStreamReader xml(answered(call).arguments().value(0).toString());
    Description d;
    bool inObject = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("interface"))
            inObject = a.value("name") == kObjectInterface;
        else if (!inObject)
            continue;
        else if (xml.name() == QLatin1String("method"))
            d.members.push_back({a.value("name").toString(), {}});
        else if (xml.name() == QLatin1String("arg") && a.value("direction") != QLatin1String("out"))
            d.members.back().inTypes << a.value("type").toString();
        else if (xml.name() == QLatin1String("property"))
            d.properties << a.value("name").toString();
    }
    if (d.members.isEmpty() || d.properties.isEmpty()) fail("no members in the introspection");
    return d;
}

class Hostile {
public:
    explicit Hostile(quint32 seed) : random_(seed) {}

    // A value of any kind QtDBus can send, biased to the edges.
    QVariant value() {
        static const QString big(1024 * 1024, QLatin1Char('x'));
        static const QStringList texts = {"",
                                          "P",
                                          "S",
                                          "B",
                                          "#1#1#1#1#1",
                                          "#B#L#D#T",
                                          "/dev/zero",
                                          "/tmp",
                                          "/nonexistent/x",
                                          "Terminal",
                                          "Courier New",
                                          QString(300, 'F'),
                                          "\xc3\x28",
                                          QString(QChar(0xFFFF)),
                                          "-1",
                                          "1E308",
                                          "NaN",
                                          "&HFFFF",
                                          "31-12-9999",
                                          "Empty",
                                          "Null"};
        const double doubles[] = {std::nan(""), INFINITY, -INFINITY,    1e308,   -1e308,
                                  0.5,          -0.0,     2147483647.5, 32767.5, 4.9e-324};
        const qint64 edges[] = {
            0, 1, -1, 10, 11, 255, 256, 32767, 32768, -32768, -32769, 2147483647, -2147483647 - 1};
        switch (random_.bounded(16)) {
            case 0:
                return QVariant::fromValue<bool>(random_.bounded(2));
            case 1:
                return QVariant::fromValue<short>(short(edges[random_.bounded(13)]));
            case 2:
                return QVariant::fromValue<int>(int(edges[random_.bounded(13)]));
            case 3:
                return QVariant::fromValue<double>(doubles[random_.bounded(10)]);
            case 4:
                return texts[random_.bounded(texts.size())];
            case 5:
                return random_.bounded(20) == 0 ? big : texts[random_.bounded(texts.size())];
            case 6:
                return QVariant::fromValue<qulonglong>(std::numeric_limits<qulonglong>::max());
            case 7:
                return QVariant::fromValue<qlonglong>(edges[random_.bounded(13)] * 3);
            case 8:
                return QVariant::fromValue<uint>(4294967295u);
            case 9:
                return QVariant::fromValue(zel::WireTag{random_.bounded(2) ? "Empty" : "Null"});
            case 10:
                return QVariant::fromValue(zel::WireTag{"Garbage"});
            case 11:
                return QVariant::fromValue(zel::WireDate{"Date", doubles[random_.bounded(10)]});
            case 12:
                return QVariant::fromValue(QDBusVariant(QVariant(1)));
            case 13:
                return QVariant::fromValue(QDBusObjectPath("/clsPrint/1"));
            case 14:
                return QStringList{"a", "b"};
            default:
                return QVariant::fromValue<uchar>(uchar(random_.bounded(256)));
        }
    }

    QVariantMap options() {
        static const QStringList keys = {
            "Kleur",    "DrawMode",        "AddTabel",    "Dikte",      "FillArea", "UitvoerMode",
            "HorLines", "FontSizePrinter", "LeftSpacing", "TopSpacing", "Onbekend", ""};
        QVariantMap map;
        for (int i = random_.bounded(3); i > 0; --i)
            map.insert(keys[random_.bounded(keys.size())], value());
        return map;
    }

    // Arguments for the member's signature, or now and then a wrong signature.
    QVariantList arguments(const QStringList& types) {
        QVariantList args;
        for (const QString& type : types)
            args << (type == QLatin1String("a{sv}") ? QVariant(options()) : v(value()));
        switch (random_.bounded(10)) {
            case 0:
                if (!args.isEmpty()) args.removeLast();
                break;
            case 1:
                args << v(value());
                break;
            case 2:
                if (!args.isEmpty()) args[0] = value();
                break;  // not wrapped in a variant
            default:
                break;
        }
        return args;
    }

    int run(int calls) {
        const QString path = create();
        const Description d = introspect(path);
        int done = 0;
        while (done < calls) {
            QDBusMessage call;
            const int kind = random_.bounded(10);
            if (kind < 6) {
                const Member& m = d.members[random_.bounded(d.members.size())];
                if (m.name == QLatin1String("Release")) continue;  // the object must stay
                call = method(path, m.name, arguments(m.inTypes));
            } else if (kind < 9) {
                const QString& p = d.properties[random_.bounded(d.properties.size())];
                call = QDBusMessage::createMethodCall(
                    kService, path, "org.freedesktop.DBus.Properties", kind < 8 ? "Set" : "Get");
                call << kObjectInterface << (random_.bounded(8) ? p : QString("Onbekend"));
                if (kind < 8) call << v(value());
            } else {
                // Unknown and released objects, unknown members.
                call = method(random_.bounded(2) ? "/clsPrint/999999" : path,
                              random_.bounded(2) ? "Onbekend" : "AddTekst", {v(value())});
            }
            answered(call);
            ++done;
        }
        // The object that took every bad call still prints, once its public variables and
        // properties hold again what a new object's hold (the bad calls wrote garbage there).
        const QString fresh = create();
        for (const QString& p : d.properties) {
            QDBusMessage get = QDBusMessage::createMethodCall(
                kService, fresh, "org.freedesktop.DBus.Properties", "Get");
            get << kObjectInterface << p;
            const QDBusMessage value = answered(get);
            if (value.type() != QDBusMessage::ReplyMessage) continue;
            QDBusMessage set = QDBusMessage::createMethodCall(
                kService, path, "org.freedesktop.DBus.Properties", "Set");
            set << kObjectInterface << p << value.arguments().value(0);
            answered(set);
        }
        ok(fresh, "Release", {});
        ok(path, "Reset", {QVariantMap{{"UitvoerMode", "P"}}});
        ok(path, "AddTekst", {v(1), v(1), v("Na de aanval"), QVariantMap()});
        ok(path, "Cls", {});
        ok(path, "Release", {});
        std::printf("%d calls answered\n", done);
        return 0;
    }

private:
    QRandomGenerator random_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    zel::registerWireTypes();
    const QStringList args = app.arguments();
    if (args.size() >= 5 && args[1] == QLatin1String("report"))
        return report(args[2].toInt(), args[3].toInt(), args[4].toInt(),
                      args.size() > 5 ? args[5].toInt() : -1);
    if (args.size() == 4 && args[1] == QLatin1String("big"))
        return big(args[2].toInt(), args[3].toInt());
    if (args.size() == 4 && args[1] == QLatin1String("hostile"))
        return Hostile(args[3].toUInt()).run(args[2].toInt());
    std::fprintf(stderr,
                 "usage: bus-client report ID PAGES LINES [HOLD] | big MEGABYTES COUNT | hostile "
                 "CALLS SEED\n");
    return 2;
}
