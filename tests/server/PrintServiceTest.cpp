#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <cmath>
#include <limits>
#include <memory>

#include "PrivateBus.h"
#include "server/PrintService.h"
#include "server/WireCodec.h"
#include "support/BatchCall.h"
#include "windows/Questions.h"
#include "windows/frmOk.h"

namespace {

const QString kObject = QStringLiteral("ZelPrintDemo._clsPrint");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

QVariant v(const QVariant& value) {
    return QVariant::fromValue(QDBusVariant(value));
}

QVariant tag(const char* name) {
    return QVariant::fromValue(zel::WireTag{QString::fromLatin1(name)});
}

// The content of a `v` reply, with a struct read as its tag.
QVariant unwrap(const QVariant& reply) {
    const QVariant inner = reply.value<QDBusVariant>().variant();
    if (inner.metaType() != QMetaType::fromType<QDBusArgument>()) return inner;
    zel::WireTag tagged;
    inner.value<QDBusArgument>() >> tagged;
    return QVariant(QStringLiteral("(%1)").arg(tagged.tag));
}

bool isVariant(const QVariant& value) {
    return value.metaType() == QMetaType::fromType<QDBusVariant>();
}

// Receives the signals of the print objects, each as its member's name and arguments.
class EventLog : public QObject {
    Q_OBJECT
public:
    QList<QList<QVariant>> meldingen;
    QStringList received;
    QStringList paths;
    QList<QList<QVariant>> arguments;
    QList<QVariant> of(const QString& member) const {
        return arguments.value(received.indexOf(member));
    }
public Q_SLOTS:
    void melding(const QDBusMessage& message) { meldingen << message.arguments(); }
    void any(const QDBusMessage& message) {
        received << message.member();
        paths << message.path();
        arguments << message.arguments();
    }
};

class PrintServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        output_ = new QTemporaryDir;
        qputenv("ZELPRINT_PRINTER", ("pdf:" + output_->path()).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", output_->path().toLocal8Bit());
    }
    static void TearDownTestSuite() { delete output_; }

    void SetUp() override {
        ASSERT_TRUE(bus_.started());
        service_ = std::make_unique<zel::PrintService>(bus_.connect(QStringLiteral("server")));
        ASSERT_TRUE(service_->registerObjects());
        client_ = bus_.connect(QStringLiteral("client"));
    }
    void TearDown() override { service_.reset(); }

    QDBusMessage message(const QString& path, const QString& interface, const QString& member,
                         const QList<QVariant>& args = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(serverName(), path, interface, member);
        call.setArguments(args);
        return call;
    }
    QDBusMessage call(const QString& path, const QString& interface, const QString& member,
                      const QList<QVariant>& args = {}) {
        return callAndWait(client_, message(path, interface, member, args));
    }
    QString serverName() { return QDBusConnection(QStringLiteral("server")).baseService(); }

    QString create(const QVariantMap& options = {}, QDBusConnection* via = nullptr) {
        const QDBusMessage reply =
            callAndWait(via ? *via : client_,
                        message("/", QStringLiteral("ZelPrintDemo.Server"), "Create", {options}));
        if (reply.type() != QDBusMessage::ReplyMessage) return reply.errorName();
        return reply.arguments().at(0).value<QDBusObjectPath>().path();
    }
    QVariant get(const QString& path, const QString& name) {
        const QDBusMessage reply = call(path, kProperties, "Get", {kObject, name});
        return reply.type() == QDBusMessage::ReplyMessage ? unwrap(reply.arguments().at(0))
                                                          : QVariant(reply.errorName());
    }

    static inline QTemporaryDir* output_ = nullptr;
    PrivateBus bus_;
    std::unique_ptr<zel::PrintService> service_;
    QDBusConnection client_{QString()};
};

TEST_F(PrintServiceTest, NewObjectReportsItsStartValues) {
    const QString path = create();
    EXPECT_EQ(path, QStringLiteral("/clsPrint/1"));
    EXPECT_EQ(get(path, "CurrentPage"), QVariant(0));
    EXPECT_EQ(get(path, "CurrentLine"), QVariant(-1));
    EXPECT_EQ(get(path, "StartLine"), QVariant(1));
    EXPECT_EQ(get(path, "AnnulerenPressed"), QVariant(false));
    EXPECT_EQ(call(path, kObject, "GetResult").arguments().value(0), QVariant(true));
}

// A typed property travels as its type; a dynamic one (`v`) as a variant inside the variant of
// Get and GetAll, and Set takes it both so and bare, as QtDBus sends it.
TEST_F(PrintServiceTest, PropertiesTravelAsTheirDeclaredTypeAndAreStoredThroughTheirConversion) {
    const QString path = create();
    struct Case {
        const char* name;
        QVariant written;
        QVariant read;
        bool dynamic;
    };
    const Case cases[] = {
        {"CurrentPage", QStringLiteral("5"), QVariant(5), false},
        {"PrintFilenr", QVariant(7), QVariant::fromValue<short>(7), false},
        {"AnnulerenPressed", QVariant(1), QVariant(true), false},
        {"PrintFileName", tag("Empty"), QVariant("(Empty)"), true},
        {"PrintFileName", QStringLiteral("rapport.txt"), QStringLiteral("rapport.txt"), true},
        {"MaxKopregel", QVariant(12), QVariant::fromValue<short>(12), true},
        {"MaxDetailregel", QVariant(70000), QVariant(70000), true},
        {"ScreenFontSize", QVariant(12.5), QVariant(12.5), true},
        {"PrintFontName", QStringLiteral("Courier New"), QStringLiteral("Courier New"), true},
    };
    for (const Case& c : cases) {
        for (const QVariant& written : {v(c.written), v(v(c.written))}) {
            SCOPED_TRACE(std::string(c.name) + (isVariant(written.value<QDBusVariant>().variant())
                                                    ? " set as a variant in the variant"
                                                    : " set bare"));
            const QDBusMessage reply = call(path, kProperties, "Set", {kObject, c.name, written});
            ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << qPrintable(reply.errorMessage());
            const QDBusMessage got = call(path, kProperties, "Get", {kObject, c.name});
            QVariant value = got.arguments().value(0);
            const QVariantMap all = qdbus_cast<QVariantMap>(
                call(path, kProperties, "GetAll", {kObject}).arguments().value(0));
            ASSERT_EQ(isVariant(all.value(c.name)), c.dynamic);
            if (c.dynamic) {
                ASSERT_TRUE(isVariant(value.value<QDBusVariant>().variant()));
                value = value.value<QDBusVariant>().variant();
            }
            EXPECT_EQ(unwrap(value).metaType(), c.read.metaType());
            EXPECT_EQ(unwrap(value), c.read);
        }
    }
}

// One PropertiesChanged a call, with every variable the call moved and nothing else.
TEST_F(PrintServiceTest, ACallTellsWhichPropertiesItChangedInOneSignal) {
    const QString path = create();
    ASSERT_EQ(call(path, kObject, "SetMode", {v("P")}).type(), QDBusMessage::ReplyMessage);
    EventLog log;
    ASSERT_TRUE(client_.connect(serverName(), path, kProperties, "PropertiesChanged", &log,
                                SLOT(any(QDBusMessage))));
    call(path, kObject, "AddTekst", {v(1), v(1), v("Regel"), QVariantMap()});
    call(path, kObject, "GetResult");
    call(path, kProperties, "Set", {kObject, "PrintFontSize", v(9)});
    call(path, kProperties, "Set", {kObject, "PrintFontSize", v(9)});
    call(path, kObject, "SetParm", {v(1), v(tag("Null"))});
    ASSERT_TRUE(waitFor([&log] { return log.received.size() >= 2; }));
    waitFor([] { return false; }, 200);
    ASSERT_EQ(log.received.size(), 2);
    const QVariantMap page = qdbus_cast<QVariantMap>(log.arguments[0].value(1));
    EXPECT_EQ(log.arguments[0].value(0), kObject);
    EXPECT_EQ(page.keys(), (QStringList{"CurrentLine", "CurrentPage", "MaxDetailregel"}));
    EXPECT_EQ(page.value("CurrentPage"), QVariant(1));
    const QVariantMap font = qdbus_cast<QVariantMap>(log.arguments[1].value(1));
    ASSERT_EQ(font.keys(), QStringList{"PrintFontSize"});
    EXPECT_EQ(font.value("PrintFontSize").value<QDBusVariant>().variant(), QVariant(9));
    call(path, kObject, "Release");
}

// Each sheet finished on the printer and the job's end reach the object whose output started
// the job, on its own destination; also when its client leaves and the release ends the job.
TEST_F(PrintServiceTest, AJobReportsItsSheetsAndWhereItWentToItsObject) {
    QTemporaryDir chosen;
    EXPECT_EQ(create({{"Printer", QStringLiteral("GeenPrinter")}}),
              QStringLiteral("ZelPrintDemo.Error482"));
    EXPECT_EQ(create({{"Printer", QStringLiteral("pdf:relative/dir")}}),
              QStringLiteral("ZelPrintDemo.Error5"));
    const QStringList jobsBefore = QDir(output_->path()).entryList({"*.pdf"});
    EventLog log;
    for (const char* name : {"BladAfgedrukt", "JobEnded"})
        ASSERT_TRUE(
            client_.connect(serverName(), QString(),
                            name[0] == 'B' ? "ZelPrintDemo.__clsPrint" : "ZelPrintDemo.Jobs", name,
                            &log, SLOT(any(QDBusMessage))));
    QString path;
    {
        QDBusConnection leaver = bus_.connect(QStringLiteral("leaver"));
        path = create({{"printer", "pdf:" + chosen.path()}}, &leaver);
        ASSERT_TRUE(path.startsWith("/clsPrint/")) << qPrintable(path);
        const QList<QList<QVariant>> report = {{v("P")},
                                               {v(1), v(1), v("Blad een"), QVariantMap()},
                                               {v(2)},
                                               {v(2), v(1), v("Blad twee"), QVariantMap()}};
        const char* members[] = {"SetMode", "AddTekst", "NieuwBlad", "AddTekst"};
        for (int i = 0; i < report.size(); ++i)
            EXPECT_EQ(callAndWait(leaver, message(path, kObject, members[i], report[i])).type(),
                      QDBusMessage::ReplyMessage);
    }
    ASSERT_TRUE(waitFor([&log] { return log.received.size() == 1; }));
    EXPECT_EQ(log.arguments[0], QList<QVariant>{1});  // NieuwBlad finished the first sheet
    bus_.disconnect(QStringLiteral("leaver"));
    ASSERT_TRUE(waitFor([&log] { return log.received.contains("JobEnded"); }));
    EXPECT_EQ(log.received, (QStringList{"BladAfgedrukt", "BladAfgedrukt", "JobEnded"}));
    EXPECT_EQ(log.paths, QStringList(3, path));
    EXPECT_EQ(log.arguments[1], QList<QVariant>{2});
    const QString pdf = chosen.filePath("job-0001.pdf");
    EXPECT_EQ(log.of("JobEnded"), (QList<QVariant>{"pdf:" + chosen.path(), pdf, 2}));
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(QDir(output_->path()).entryList({"*.pdf"}), jobsBefore);
}

TEST_F(PrintServiceTest, BadCallsGetErrorRepliesThatNameTheError) {
    const QString path = create();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        QString member;
        QList<QVariant> args;
        const char* error;
    };
    const Case cases[] = {
        {"slot from 9.5", "SetParm", {v(9.5), v("x")}, "ZelPrintDemo.Error9"},
        {"Null for a number", "SetParm", {v(tag("Null")), v("x")}, "ZelPrintDemo.Error94"},
        {"unknown optional key", "Reset", {QVariantMap{{"Kleur", 1}}}, "ZelPrintDemo.Error448"},
        {"typed Boolean from text",
         "Reset",
         {QVariantMap{{"HorLines", "abc"}}},
         "ZelPrintDemo.Error13"},
        {"NaN", "SetMode", {v(nan)}, "ZelPrintDemo.Error6"},
        {"plain string for a v", "SetMode", {"P"}, "org.freedesktop.DBus.Error.InvalidArgs"},
        {"argument missing", "SetParm", {v(1)}, "org.freedesktop.DBus.Error.InvalidArgs"},
        {"dictionary on a member without options",
         "Cls",
         {QVariantMap()},
         "org.freedesktop.DBus.Error.InvalidArgs"},
        {"no such member", "Drukaf", {}, "org.freedesktop.DBus.Error.UnknownMethod"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(call(path, kObject, c.member, c.args).errorName(), QLatin1String(c.error));
    }
    const QDBusMessage reply = call(path, kObject, "SetParm", {v(9.5), v("x")});
    EXPECT_EQ(reply.errorMessage(), QStringLiteral("9: Subscript out of range"));
    EXPECT_EQ(call(path, kProperties, "Set", {kObject, "CurrentPage", v("abc")}).errorName(),
              QStringLiteral("ZelPrintDemo.Error13"));
    EXPECT_EQ(get(path, "Pagina"), QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"));
}

TEST_F(PrintServiceTest, SetParmOutOfRangeRaisesMelding) {
    const QString path = create();
    EventLog log;
    ASSERT_TRUE(client_.connect(serverName(), path, "ZelPrintDemo.__clsPrint", "Melding", &log,
                                SLOT(melding(QDBusMessage))));
    EXPECT_EQ(call(path, kObject, "SetParm", {v(10), v("x")}).type(), QDBusMessage::ReplyMessage);
    // The signal came before the reply: it only waits to be delivered here.
    QCoreApplication::processEvents();
    ASSERT_EQ(log.meldingen.size(), 1);
    EXPECT_EQ(log.meldingen.first(),
              (QList<QVariant>{80, QStringLiteral("Parameternummer fout: 10")}));
}

TEST_F(PrintServiceTest, CreateTakesPersistentByAnyCaseAndRefusesOtherOptions) {
    EXPECT_EQ(create({{"Kleur", 1}}), QStringLiteral("ZelPrintDemo.Error448"));
    EXPECT_EQ(create({{"PERSISTENT", QStringLiteral("ja")}}),
              QStringLiteral("ZelPrintDemo.Error13"));
    // JobOptions is a{ss} and Title s, nothing else.
    EXPECT_EQ(create({{"JobOptions", QStringLiteral("copies=2")}}),
              QStringLiteral("ZelPrintDemo.Error13"));
    EXPECT_EQ(create({{"Title", 7}}), QStringLiteral("ZelPrintDemo.Error13"));
    EXPECT_EQ(create({{"persistent", true}}), QStringLiteral("/clsPrint/1"));
    EXPECT_EQ(service_->objectCount(), 1);
    // A list of job options past its bound is refused at once (100 000 took minutes, holding
    // every client), one at the bound is taken.
    qDBusRegisterMetaType<QMap<QString, QString>>();
    QMap<QString, QString> options;
    for (int i = 0; i < 100000; ++i) options.insert(QStringLiteral("o%1").arg(i), "1");
    QElapsedTimer took;
    took.start();
    EXPECT_EQ(create({{"JobOptions", QVariant::fromValue(options)}}),
              QStringLiteral("ZelPrintDemo.Error7"));
    EXPECT_LT(took.elapsed(), 3000);
    while (options.size() > 1000) options.erase(std::prev(options.end()));
    EXPECT_EQ(create({{"JobOptions", QVariant::fromValue(options)}}),
              QStringLiteral("/clsPrint/2"));
}

// One client cannot take the server's descriptors from the others: past its share of print
// contexts its Create is 67, while another client creates, and releasing one frees its place.
TEST_F(PrintServiceTest, AClientOpensAtMostItsShareOfContexts) {
    QStringList made;
    for (int i = 0; i < zel::ClientAccounts::kMaxContexts; ++i)
        made << create({{"Group", QStringLiteral("g%1").arg(i)}});
    EXPECT_EQ(made.filter(QStringLiteral("Error")), QStringList());
    EXPECT_EQ(create({{"Persistent", true}}), QStringLiteral("ZelPrintDemo.Error67"));
    EXPECT_EQ(create({{"Group", QStringLiteral("g0")}}).left(10), QStringLiteral("/clsPrint/"));
    QDBusConnection other = bus_.connect(QStringLiteral("other"));
    EXPECT_EQ(create({}, &other).left(10), QStringLiteral("/clsPrint/"));
    EXPECT_EQ(call(made.last(), kObject, "Release").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(create({{"Persistent", true}}).left(10), QStringLiteral("/clsPrint/"));
}

TEST_F(PrintServiceTest, ObjectsOfALeavingClientAreReleasedButPersistentOnesStay) {
    QString owned, persistent;
    {
        // The connection closes when the last handle on it goes.
        QDBusConnection leaver = bus_.connect(QStringLiteral("leaver"));
        owned = create({}, &leaver);
        persistent = create({{"Persistent", true}}, &leaver);
    }
    const QString others = create();
    ASSERT_EQ(service_->objectCount(), 3);
    bus_.disconnect(QStringLiteral("leaver"));
    ASSERT_TRUE(waitFor([this] { return service_->objectCount() == 2; }));
    EXPECT_EQ(get(owned, "CurrentPage"),
              QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
    EXPECT_EQ(get(persistent, "CurrentPage"), QVariant(0));
    EXPECT_EQ(get(others, "CurrentPage"), QVariant(0));
}

TEST_F(PrintServiceTest, AClientThatLeftBeforeItsCreateWasServedLeavesNoObject) {
    {
        QDBusConnection leaver = bus_.connect(QStringLiteral("leaver"));
        QDBusMessage create =
            message("/", QStringLiteral("ZelPrintDemo.Server"), "Create", {QVariantMap()});
        ASSERT_TRUE(leaver.send(create));
        leaver.interface()->isServiceRegistered(leaver.baseService());  // the Create is out
    }
    // Gone before the server has read its Create: nobody would ever release that object.
    bus_.disconnect(QStringLiteral("leaver"));
    const QString others = create();
    EXPECT_EQ(others, QStringLiteral("/clsPrint/2"));
    EXPECT_TRUE(waitFor([this] { return service_->objectCount() == 1; }));
}

TEST_F(PrintServiceTest, ReleasedObjectsAnswerWithAnErrorAndPathsAreNotReused) {
    const QString first = create();
    EXPECT_EQ(call(first, kObject, "Release").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(service_->objectCount(), 0);
    for (const char* member : {"GetResult", "Release", "Cls"})
        EXPECT_EQ(call(first, kObject, member).errorName(),
                  QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
    EXPECT_EQ(create(), QStringLiteral("/clsPrint/2"));
}

// A page confirmation waits inside its client's call while the event loop runs: the calls that
// change that client's context wait for the answer, its reads are answered, and every other
// client goes on: one creates, prints and releases, one that leaves is released. A client that
// leaves while its Create waits behind the confirmation gets no object, persistent or not.
// A signal raised in the same batch before the question reaches its client while it waits.
TEST_F(PrintServiceTest, AConfirmationHoldsOnlyTheChangesOfItsOwnContext) {
    const QVariantMap group{{QStringLiteral("Group"), QStringLiteral("gedeeld")}};
    const QString path = create(group);
    {
        QDBusConnection leaver = bus_.connect(QStringLiteral("leaver"));
        create({}, &leaver);
    }
    EventLog log;
    ASSERT_TRUE(client_.connect(serverName(), path, "ZelPrintDemo.__clsPrint", "Melding", &log,
                                SLOT(melding(QDBusMessage))));
    call(path, kObject, "AddTekst", {v(1), v(1), v("eerste"), QVariantMap()});
    bool resetHeld = false, readAnswered = false, otherServed = false, leaverReleased = false;
    bool meldingTold = false;
    zel::installAnswerer([&](QWidget* question) {
        auto* ok = qobject_cast<zel::frmOk*>(question);
        if (!ok) return;
        meldingTold = waitFor([&log] { return !log.meldingen.isEmpty(); }, 1000);
        QDBusPendingCall reset =
            client_.asyncCall(message(path, kObject, "Reset", {QVariantMap()}));
        QDBusPendingCall read = client_.asyncCall(message(path, kObject, "GetResult"));
        readAnswered = waitFor([&read] { return read.isFinished(); });
        QVariantMap lateOptions = group;
        lateOptions.insert(QStringLiteral("Persistent"), true);
        bus_.connect(QStringLiteral("late"))
            .asyncCall(
                message("/", QStringLiteral("ZelPrintDemo.Server"), "Create", {lateOptions}));
        bus_.disconnect(QStringLiteral("late"));
        QDBusConnection other = bus_.connect(QStringLiteral("other"));
        const QString theirs = create({}, &other);
        otherServed = callAndWait(other, message(theirs, kObject, "AddTekst",
                                                 {v(1), v(1), v("andere"), QVariantMap()}))
                              .type() == QDBusMessage::ReplyMessage &&
                      callAndWait(other, message(theirs, kObject, "Release")).type() ==
                          QDBusMessage::ReplyMessage;
        bus_.disconnect(QStringLiteral("leaver"));
        leaverReleased = waitFor([this] { return service_->objectCount() == 1; });
        resetHeld = !reset.isFinished();
        ok->cmdOk()->click();
    });
    // The page is full in the screen mode: the next page waits for "Ja".
    qDBusRegisterMetaType<BatchCall>();
    qDBusRegisterMetaType<QList<BatchCall>>();
    const QList<BatchCall> calls{{"SetParm", {10, "x"}, {}}, {"NieuwBlad", {2}, {}}};
    const QDBusMessage blad = call(path, "ZelPrintDemo.Batch", "Run", {QVariant::fromValue(calls)});
    zel::installAnswerer({});
    EXPECT_EQ(blad.type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(readAnswered);
    EXPECT_TRUE(otherServed);
    EXPECT_TRUE(leaverReleased);
    EXPECT_TRUE(resetHeld);
    EXPECT_TRUE(meldingTold);
    EXPECT_TRUE(waitFor([this, &path] {
        return get(path, "CurrentPage") == QVariant(1) && service_->objectCount() == 1;
    }));
}

TEST_F(PrintServiceTest, IntrospectionDescribesTheMembersFromTheTable) {
    const QString path = create();
    const QString object = call(path, "org.freedesktop.DBus.Introspectable", "Introspect")
                               .arguments()
                               .value(0)
                               .toString();
    // The members, their arguments, each documented, the optional keys with their kinds and
    // defaults, and the error numbers with their texts.
    const char* doc = "<annotation name=\"org.freedesktop.DBus.DocString\" value=\"";
    for (const QString& expected :
         {QStringLiteral("<method name=\"AddTekst\">%1Prints a text").arg(doc),
          QStringLiteral("<arg name=\"Regel\" type=\"v\" direction=\"in\">%1the report's line")
              .arg(doc),
          QStringLiteral("type=\"a{sv}\" direction=\"in\">%1Optional arguments by name").arg(doc),
          QStringLiteral("Kleur: the colour as 0x00BBGGRR (omitted: PrintForeColor); DrawMode: "),
          QStringLiteral("AddTabel (Boolean, default true): true: also kept"),
          QStringLiteral("Dikte (default 1): the line width"),
          QStringLiteral("</arg><annotation name=\"org.qtproject.QtDBus.QtTypeName.In3\" "
                         "value=\"QVariantMap\"/><arg name=\"result\" type=\"b\" "
                         "direction=\"out\">"),
          QStringLiteral("<method name=\"Cls\">%1").arg(doc),
          QStringLiteral("<property name=\"MaxKopregel\" type=\"v\" access=\"readwrite\">%1")
              .arg(doc),
          QStringLiteral("<property name=\"CurrentPage\" type=\"i\""),
          QStringLiteral("<property name=\"PrintFilenr\" type=\"n\""),
          QStringLiteral("<arg name=\"FoutNummer\" type=\"i\">%1").arg(doc),
          QStringLiteral("<annotation name=\"ZelPrintDemo.Error448\" value=\"Named argument not "
                         "found\"/>"),
          QStringLiteral("<interface name=\"ZelPrintDemo.Jobs\">")})
        EXPECT_TRUE(object.contains(expected)) << qPrintable(expected);
    const QString container = call("/clsPrint", "org.freedesktop.DBus.Introspectable", "Introspect")
                                  .arguments()
                                  .value(0)
                                  .toString();
    EXPECT_TRUE(container.contains("<node name=\"1\"/>"));
}

TEST_F(PrintServiceTest, BatchRunsItsCallsInOrderAndStopsAtTheFirstError) {
    qDBusRegisterMetaType<BatchCall>();
    qDBusRegisterMetaType<QList<BatchCall>>();
    const QString path = create();
    struct Case {
        const char* what;
        QList<BatchCall> calls;
        QList<QVariant> results;  // unwrapped
        int failedIndex;
        const char* error;
    };
    const QVariantMap none;
    const Case cases[] = {
        {"all run",
         {{"SetParm", {1, "a"}, none},
          {"GetResult", {}, none},
          {"Reset", {}, {{"HorLines", true}}}},
         {"(Empty)", true, "(Empty)"},
         -1,
         ""},
        {"a member's error",
         {{"GetResult", {}, none}, {"SetParm", {9.5, "x"}, none}, {"Reset", {}, none}},
         {true},
         1,
         "9: Subscript out of range"},
        {"no such member", {{"Drukaf", {}, none}}, {}, 0, "438: "},
        {"an argument missing", {{"SetParm", {1}, none}}, {}, 0, "450: "},
        {"an unknown option", {{"Reset", {}, {{"Kleur", 1}}}}, {}, 0, "448: "},
        // Read from the message as a call sent alone is: the value that fails is named.
        {"a value of no wire type",
         {{"SetParm", {1, tag("Empty")}, none}, {"SetParm", {QStringList{"x"}, 2}, none}},
         {"(Empty)"},
         1,
         "13: Type mismatch (argument ParmNummer, expected Number)"},
        {"an option named twice",
         {{"AddTekst", {1, 1, "x"}, {{"kleur", 1}, {"Kleur", 2}}}},
         {},
         0,
         "5: Invalid procedure call or argument (argument Kleur, expected once)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QDBusMessage reply =
            call(path, QStringLiteral("ZelPrintDemo.Batch"), "Run", {QVariant::fromValue(c.calls)});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << qPrintable(reply.errorMessage());
        QList<QVariant> results;
        const QDBusArgument wire = reply.arguments().at(0).value<QDBusArgument>();
        wire.beginArray();
        while (!wire.atEnd()) {
            QDBusVariant value;
            wire >> value;
            results << unwrap(QVariant::fromValue(value));
        }
        wire.endArray();
        EXPECT_EQ(results, c.results);
        EXPECT_EQ(reply.arguments().at(1), QVariant(c.failedIndex));
        EXPECT_TRUE(reply.arguments().at(2).toString().startsWith(QLatin1String(c.error)))
            << qPrintable(reply.arguments().at(2).toString());
    }
    // The longest batch runs; one call more is refused whole.
    QList<BatchCall> longest(100000, BatchCall{"GetResult", {}, none});
    EXPECT_EQ(call(path, "ZelPrintDemo.Batch", "Run", {QVariant::fromValue(longest)})
                  .arguments()
                  .value(1),
              QVariant(-1));
    longest.append(longest.first());
    EXPECT_EQ(call(path, "ZelPrintDemo.Batch", "Run", {QVariant::fromValue(longest)}).errorName(),
              QStringLiteral("ZelPrintDemo.Error7"));
    // Only the first case's Reset ran: the page count it started is still the first.
    EXPECT_EQ(get(path, "CurrentPage"), QVariant(1));
    EXPECT_EQ(call(path, "ZelPrintDemo.Batch", "Run", {QVariantMap()}).errorName(),
              QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
}

}  // namespace

#include "PrintServiceTest.moc"
