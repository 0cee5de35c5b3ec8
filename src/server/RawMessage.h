#pragma once

class QVariant;
struct DBusMessage;

namespace zel {

// The bus library's message that a received argument still reads from: QtDBus leaves an array
// or a struct unconverted, as a QDBusArgument over the message it came in. Null for any other
// argument. The message lives as long as the argument (and the QDBusMessage that holds it).
DBusMessage* rawMessage(const QVariant& argument);

}  // namespace zel
