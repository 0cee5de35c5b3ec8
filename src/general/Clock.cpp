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

QDateTime now() {
    return pinned() ? *pinned() : QDateTime::currentDateTime();
}

void pin(const QDateTime& moment) {
    pinned() = moment;
}

void unpin() {
    pinned().reset();
}

}  // namespace zel::Clock
