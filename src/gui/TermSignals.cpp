#include "gui/TermSignals.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>
#include <utility>
#include <vector>

namespace zel {

namespace {

int pipeFds[2] = {-1, -1};

// Every catchable signal whose default would end the server on the spot and lose its open jobs.
// A stop request (SIGTERM, SIGINT, SIGQUIT), the terminal it was started from closing (SIGHUP)
// and the user signals are taken whatever was set before (a shell ignores SIGINT and SIGQUIT
// for what it starts in the background).
constexpr int Stopping[] = {SIGTERM, SIGINT, SIGQUIT, SIGHUP, SIGUSR1, SIGUSR2};

// The others (the CPU time limit's warning before its kill, timers, profiling, I/O, power and
// real-time signals) are taken only where they would end the server: a handler a library set
// (a profiler's SIGPROF) stays, and so does an ignore the starter chose. The faults (SIGSEGV,
// SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS) are left alone: after one nothing can be
// trusted to write a job.
std::vector<int> otherEnding() {
    std::vector<int> signals = {SIGXCPU, SIGALRM, SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR, SIGSTKFLT};
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) signals.push_back(signal);
    return signals;
}

// The signals taken, with what they had before, to be given back.
std::vector<std::pair<int, struct sigaction>> taken;

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
    const auto take = [&action](int signal) {
        struct sigaction before = {};
        if (sigaction(signal, &action, &before) == 0) taken.emplace_back(signal, before);
    };
    for (const int signal : Stopping) take(signal);
    for (const int signal : otherEnding()) {
        struct sigaction current = {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL &&
            !(current.sa_flags & SA_SIGINFO))
            take(signal);
    }
}

TermSignals::~TermSignals() {
    for (const auto& [signal, before] : taken) sigaction(signal, &before, nullptr);
    taken.clear();
    delete notifier_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

}  // namespace zel
