#include "server/WireReader.h"

#include "server/WireCodec.h"
#include "variant/VbError.h"

namespace zel {

namespace {

template <class T>
T basic(DBusMessageIter& value) {
    T result{};
    dbus_message_iter_get_basic(&value, &result);
    return result;
}

// The struct at the iterator: (s), (sd) or (sx), told apart by the types of its fields.
Variant readStruct(DBusMessageIter& value) {
    DBusMessageIter field;
    dbus_message_iter_recurse(&value, &field);
    if (dbus_message_iter_get_arg_type(&field) != DBUS_TYPE_STRING)
        throw VbError(VbErr::TypeMismatch);
    const QString tag = readWireString(field);
    dbus_message_iter_next(&field);
    switch (dbus_message_iter_get_arg_type(&field)) {
        case DBUS_TYPE_INVALID:
            return wireTag(tag);
        case DBUS_TYPE_DOUBLE: {
            const double days = basic<double>(field);
            if (!dbus_message_iter_next(&field)) return wireDate(tag, days);
            break;
        }
        case DBUS_TYPE_INT64: {
            const qlonglong amount = basic<dbus_int64_t>(field);
            if (!dbus_message_iter_next(&field)) return wireCurrency(tag, amount);
            break;
        }
        default:
            break;
    }
    throw VbError(VbErr::TypeMismatch);
}

}  // namespace

QString readWireString(DBusMessageIter& text) {
    return QString::fromUtf8(basic<const char*>(text));
}

Variant readWireVariant(const DBusMessageIter& variant) {
    DBusMessageIter value;
    dbus_message_iter_recurse(const_cast<DBusMessageIter*>(&variant), &value);
    switch (dbus_message_iter_get_arg_type(&value)) {
        case DBUS_TYPE_BOOLEAN:
            return Variant::Boolean(basic<dbus_bool_t>(value) != 0);
        case DBUS_TYPE_INT16:
            return Variant::Integer(basic<dbus_int16_t>(value));
        case DBUS_TYPE_INT32:
            return Variant::Long(basic<dbus_int32_t>(value));
        case DBUS_TYPE_DOUBLE:
            return wireDouble(basic<double>(value));
        case DBUS_TYPE_STRING:
            return wireText(readWireString(value));
        case DBUS_TYPE_BYTE:
            return Variant::Long(basic<unsigned char>(value));
        case DBUS_TYPE_UINT16:
            return Variant::Long(basic<dbus_uint16_t>(value));
        case DBUS_TYPE_UINT32:
            return wireWhole(basic<dbus_uint32_t>(value));
        case DBUS_TYPE_INT64:
            return wireWhole(basic<dbus_int64_t>(value));
        case DBUS_TYPE_UINT64:
            return wireUnsigned(basic<dbus_uint64_t>(value));
        case DBUS_TYPE_STRUCT:
            return readStruct(value);
        default:
            break;
    }
    throw VbError(VbErr::TypeMismatch);
}

}  // namespace zel
