#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <cmath>
#include <limits>

#include "PrivateBus.h"
#include "server/RawMessage.h"
#include "server/WireCodec.h"
#include "server/WireReader.h"
#include "variant/VbError.h"

using zel::Variant;
using zel::VbError;

namespace {

// A value decoded, or the number of the error decoding it raised.
struct Decoded {
    Variant value;
    int error = 0;
    bool operator==(const Decoded& other) const {
        return error == other.error && (error != 0 || value.identical(other.value));
    }
};

template <class Decode>
Decoded decoded(Decode decode) {
    try {
        return {decode()};
    } catch (const VbError& e) {
        return {Variant(), e.number()};
    }
}

// Decodes the `v` it receives and sends the value back encoded, so that both directions are
// checked on values that really crossed a bus. The same value comes again as the one element of
// an `av`, which the batch's reader takes from the message's bytes: it must decode alike.
class Echo : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const Decoded value =
            decoded([&] { return zel::fromWireArgument(message.arguments().value(0)); });
        const Decoded read = decoded([&] {
            const zel::WireBody body(zel::rawMessage(message.arguments().value(1)));
            zel::WireReader reader(body, 0);
            reader.skipVariant();
            reader.arrayLength(1);
            return reader.variant();
        });
        if (!(read == value))
            connection.send(message.createErrorReply(QStringLiteral("test.ReadDiffers"), ""));
        else if (value.error)
            connection.send(
                message.createErrorReply(QStringLiteral("test.Error%1").arg(value.error), ""));
        else
            connection.send(
                message.createReply({QVariant::fromValue(QDBusVariant(zel::toWire(value.value))),
                                     value.value.typeName()}));
        return true;
    }
};

// The D-Bus signature of a received value.
QString signatureOf(const QVariant& wire) {
    if (wire.metaType() == QMetaType::fromType<QDBusArgument>())
        return wire.value<QDBusArgument>().currentSignature();
    return QString::fromLatin1(QDBusMetaType::typeToSignature(wire.metaType()));
}

// A struct of a tag and one more field: `(sx)` for an amount, `(si)` a shape the codec does not
// know.
template <class T>
QVariant taggedPair(const QString& tag, T second) {
    QDBusArgument arg;
    arg.beginStructure();
    arg << tag << second;
    arg.endStructure();
    return QVariant::fromValue(arg);
}

class WireCodecOnBus : public ::testing::Test {
protected:
    static void SetUpTestSuite() { zel::registerWireTypes(); }
    void SetUp() override {
        ASSERT_TRUE(bus_.started());
        server_ = bus_.connect(QStringLiteral("codec-server"));
        client_ = bus_.connect(QStringLiteral("codec-client"));
        ASSERT_TRUE(server_.registerVirtualObject(QStringLiteral("/echo"), &echo_));
    }
    void TearDown() override { server_.unregisterObject(QStringLiteral("/echo")); }

    QDBusMessage echo(const QVariant& wire) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            server_.baseService(), QStringLiteral("/echo"), QStringLiteral("test.Echo"), "Echo");
        call << QVariant::fromValue(QDBusVariant(wire)) << QVariant(QVariantList{wire});
        return callAndWait(client_, call);
    }

    PrivateBus bus_;
    Echo echo_;
    QDBusConnection server_{QString()};
    QDBusConnection client_{QString()};
};

TEST_F(WireCodecOnBus, EachKindCrossesBothWays) {
    struct Case {
        const char* name;
        QVariant sent;
        const char* typeName;
        const char* echoedSignature;
        Variant expected;
    };
    const Case cases[] = {
        {"boolean", QVariant(true), "Boolean", "b", Variant::Boolean(true)},
        {"int16", QVariant::fromValue<short>(-3), "Integer", "n", Variant::Integer(-3)},
        {"int32", QVariant(70000), "Long", "i", Variant::Long(70000)},
        {"double", QVariant(2.5), "Double", "d", Variant::Double(2.5)},
        {"string", QVariant(QStringLiteral("Hallo")), "String", "s", Variant("Hallo")},
        {"the longest string", QString(1 << 20, 'x'), "String", "s",
         Variant(QString(1 << 20, 'x'))},
        {"empty", QVariant::fromValue(zel::WireTag{"Empty"}), "Empty", "(s)", Variant()},
        {"null", QVariant::fromValue(zel::WireTag{"Null"}), "Null", "(s)", Variant::Null()},
        {"date", QVariant::fromValue(zel::WireDate{"Date", 45000.25}), "Date", "(sd)",
         Variant::Date(45000.25)},
        {"currency", taggedPair(QStringLiteral("Currency"), qlonglong(12345)), "Currency", "d",
         Variant::Double(1.2345)},
        {"byte widens", QVariant::fromValue<uchar>(200), "Long", "i", Variant::Long(200)},
        {"uint16 widens", QVariant::fromValue<ushort>(60000), "Long", "i", Variant::Long(60000)},
        {"uint32 widens", QVariant::fromValue<uint>(7), "Long", "i", Variant::Long(7)},
        {"int64 widens", QVariant::fromValue<qlonglong>(-5), "Long", "i", Variant::Long(-5)},
        {"uint64 widens", QVariant::fromValue<qulonglong>(9), "Long", "i", Variant::Long(9)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QDBusMessage reply = echo(c.sent);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << qPrintable(reply.errorName());
        EXPECT_EQ(reply.arguments().at(1).toString(), QLatin1String(c.typeName));
        const QVariant echoed = reply.arguments().at(0).value<QDBusVariant>().variant();
        EXPECT_EQ(signatureOf(echoed), QLatin1String(c.echoedSignature));
        EXPECT_TRUE(zel::fromWire(echoed).identical(c.expected));
    }
}

TEST_F(WireCodecOnBus, ValuesWithoutAMeaningAreRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        QVariant sent;
        int error;
    };
    const Case cases[] = {
        {"NaN", QVariant(nan), 6},
        {"infinity", QVariant(inf), 6},
        {"minus infinity", QVariant(-inf), 6},
        {"uint32 beyond Long", QVariant::fromValue<uint>(3000000000u), 6},
        {"int64 beyond Long", QVariant::fromValue<qlonglong>(qlonglong(1) << 40), 6},
        {"int64 below Long", QVariant::fromValue<qlonglong>(-(qlonglong(1) << 40)), 6},
        {"uint64 beyond Long", QVariant::fromValue(std::numeric_limits<qulonglong>::max()), 6},
        {"date NaN", QVariant::fromValue(zel::WireDate{"Date", nan}), 6},
        {"date after 9999", QVariant::fromValue(zel::WireDate{"Date", 2958466}), 6},
        {"date before 100", QVariant::fromValue(zel::WireDate{"Date", -657435}), 6},
        {"unknown tag", QVariant::fromValue(zel::WireTag{"Nothing"}), 13},
        {"tag in the wrong case", QVariant::fromValue(zel::WireTag{"empty"}), 13},
        {"date with another tag", QVariant::fromValue(zel::WireDate{"Datum", 1}), 13},
        {"other struct", taggedPair(QStringLiteral("Empty"), 1), 13},
        {"array", QVariant(QStringList{QStringLiteral("a")}), 13},
        {"variant in a variant", QVariant::fromValue(QDBusVariant(1)), 13},
        {"object path", QVariant::fromValue(QDBusObjectPath("/x")), 13},
        {"string past the longest text", QString((1 << 20) + 1, 'x'), 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QDBusMessage reply = echo(c.sent);
        EXPECT_EQ(reply.errorName(), QStringLiteral("test.Error%1").arg(c.error));
    }
}

TEST(WireCodec, ResultsOfKindsTheWireLacksTravelAsDouble) {
    EXPECT_EQ(zel::toWire(Variant::Single(1.5f)), QVariant(1.5));
    EXPECT_EQ(zel::toWire(Variant::CurrencyScaled(12345)), QVariant(1.2345));
}

TEST(WireCodec, ObjectReferencesAndMissingValuesAreNotOffered) {
    for (const Variant& value : {Variant::Object(std::make_shared<int>(1)), Variant::Missing()}) {
        try {
            zel::toWire(value);
            ADD_FAILURE() << "no error for " << qPrintable(value.typeName());
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), 13);
        }
    }
}

TEST(WireCodec, CountsAreInt16WhileTheyFitAndInt32After) {
    struct Case {
        Variant count;
        QMetaType expected;
    };
    const Case cases[] = {
        {Variant::Integer(3), QMetaType::fromType<short>()},
        {Variant::Long(3), QMetaType::fromType<short>()},
        {Variant::Long(32767), QMetaType::fromType<short>()},
        {Variant::Long(32768), QMetaType::fromType<int>()},
        {Variant::Long(-32769), QMetaType::fromType<int>()},
        {Variant(), QMetaType::fromType<zel::WireTag>()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.count.toString()));
        const QVariant wire = zel::countToWire(c.count);
        EXPECT_EQ(wire.metaType(), c.expected);
        if (c.count.isNumeric()) {
            EXPECT_EQ(wire.toInt(), c.count.toLong());
        }
    }
}

}  // namespace
