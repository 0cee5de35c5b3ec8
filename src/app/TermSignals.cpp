#include "app/TermSignals.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>
#include <vector>

namespace zel {

namespace {

int pipeFds[2] = {-1, -1};

// Every catchable signal whose default would end the server on the spot and lose its open jobs:
// a stop request (SIGTERM, SIGINT, SIGQUIT), the terminal it was started from closing (SIGHUP),
// the CPU time limit's warning before its kill, timers and signals that nothing here gives a
// meaning (the user, alarm, profiling, I/O, power and real-time signals). The faults (SIGSEGV,
// SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS) are left alone: after one nothing can be
// trusted to write a job.
std::vector<int> endingSignals() {
    std::vector<int> signals = {SIGTERM, SIGINT,    SIGQUIT, SIGHUP,  SIGXCPU, SIGUSR1,  SIGUSR2,
                                SIGALRM, SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR,  SIGSTKFLT};
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) signals.push_back(signal);
    return signals;
}

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
}

}  // namespace

TermSignals::TermSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeFds) != 0) return;
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(pipeFds[0], &byte, 1);
        Q_EMIT terminate();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : endingSignals()) sigaction(signal, &action, nullptr);
}

TermSignals::~TermSignals() {
    for (const int signal : endingSignals()) std::signal(signal, SIG_DFL);
    delete notifier_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

}  // namespace zel
