#pragma once

class QDBusConnection;

namespace zel {

// Lets the connection read every message the bus delivers, however large. The bus library stops
// reading once the messages it holds pass 63 MB and starts again when the last of them is freed;
// QtDBus frees a call's message in the thread that handled it, where that restart is lost, so the
// server would never read again. The bus's own limit on one message bounds what arrives; what the
// server will not hold is refused with error 7 when the values are taken from the message.
void readEveryMessage(const QDBusConnection& connection);

}  // namespace zel
