#pragma once

#include <QDateTime>

// The moment that dates and times are printed with. Tests pin it so that a printed "#D" or
// "#T" is known in advance; the production path reads the system clock in local time.
namespace zel::Clock {

// The pinned moment, or the current local date and time, to the whole second.
QDateTime now();
void pin(const QDateTime& moment);
void unpin();

}  // namespace zel::Clock
