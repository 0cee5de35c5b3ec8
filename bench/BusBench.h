#pragma once

#include <QString>

namespace zel::bench {

// Clients of `zelprint serve` on the session bus, with sd-bus (the cheapest client there is),
// each blocking on every reply. Each returns seconds.

// count calls of org.freedesktop.DBus.Peer.Ping on the service.
double pingSeconds(int count);
// count AddTekst calls on one object in mode "P", one line each, job end included.
double addTekstSeconds(int count);
// The lines of a text file as AddTekst calls sent through ZelPrintDemo.Batch.Run, batch calls
// at a time, job end included.
double batchSeconds(const QString& file, int batch);
// The same Runs to a service that only reads and answers them (FloorService): the bus's own part.
double floorSeconds(const QString& file, int batch);
// The lines of a text file printed as a template in one PrintFromSjabloon call, job end included.
double templateSeconds(const QString& file);

}  // namespace zel::bench
