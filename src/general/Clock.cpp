#include "general/Clock.h"

#include <optional>

namespace zel::Clock {

namespace {

// One thread reads and writes it (the server's), as everything process-wide here.
std::optional<QDateTime>& pinned() {
    static std::optional<QDateTime> moment;
    return moment;
}

}  // namespace

// Whole seconds, as the platform's clock gives them: a time printed with seconds must not round
// up to a second (or, just before midnight, a day) that has not begun.
QDateTime now() {
    QDateTime moment = pinned() ? *pinned() : QDateTime::currentDateTime();
    const QTime time = moment.time();
    moment.setTime(QTime(time.hour(), time.minute(), time.second()));
    return moment;
}

void pin(const QDateTime& moment) {
    pinned() = moment;
}

void unpin() {
    pinned().reset();
}

}  // namespace zel::Clock
