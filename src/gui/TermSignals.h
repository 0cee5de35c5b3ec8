#pragma once

#include <QObject>

class QSocketNotifier;

namespace zel {

// Turns every catchable signal that would end the process (SIGTERM, SIGINT, SIGQUIT, SIGHUP,
// SIGUSR1, SIGALRM, ...) into a Qt signal, delivered by the event loop (a signal handler may do
// nothing but write to a pipe).
class TermSignals : public QObject {
    Q_OBJECT
public:
    explicit TermSignals(QObject* parent = nullptr);
    ~TermSignals() override;

Q_SIGNALS:
    void terminate();

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace zel
