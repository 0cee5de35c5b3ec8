#pragma once

class QDBusConnection;

namespace zel {

// Lets the connection read every message the bus delivers, however large. The bus library stops
// reading once the messages it holds pass 63 MB and starts again when the last of them is freed;
// QtDBus frees a call's message in the thread that handled it, where that restart is lost, so the
// server would never read again. The bus's own limit on one message bounds what arrives; what the
// server will not hold is refused with error 7 when the values are taken from the message.
void readEveryMessage(const QDBusConnection& connection);

// Keeps the memory that large messages are read into from one message to the next (for the
// whole process: call it once, in a server). The bus library reads a message into memory that it
// gives back after the message and grows again for the next; past the allocator's default limits
// that memory is a fresh mapping each time, whose every page faults in anew: 2 000 faults and 8 %
// of the server's processor time for a report sent in batches of a thousand calls. Blocks up to
// 1 MB now come from the heap, and up to 4 MB of freed heap stays with the process.
void keepReadBuffers();

}  // namespace zel
