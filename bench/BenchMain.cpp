// zelprint-bench: one measurement per run, its result on standard output, for bench/run.
//
//   zelprint-bench addtekst FILE        seconds: the lines as in-process AddTekst calls
//   zelprint-bench surface FILE         seconds: the same lines straight on the printer surface
//   zelprint-bench bus-ping COUNT       seconds: COUNT blocking Peer.Ping calls
//   zelprint-bench bus-addtekst COUNT   seconds: COUNT blocking AddTekst calls
//   zelprint-bench bus-batch FILE SIZE  seconds: the lines through Batch.Run, SIZE calls a Run
//   zelprint-bench bus-floor FILE SIZE  seconds: the same Runs to a service that only answers them
//   zelprint-bench bus-template FILE    seconds: the file printed as a template in one call
//   zelprint-bench measure CMD ARG...   "SECONDS PEAK_RSS_KB" of the command (its output dropped)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

#include "BusBench.h"
#include "ExampleApplication.h"
#include "InProcessBench.h"

namespace {

int measure(char** command) {
    QElapsedTimer timer;
    timer.start();
    const pid_t child = fork();
    if (child < 0) return 1;
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execvp(command[0], command);
        std::fprintf(stderr, "zelprint-bench: cannot run %s: %s\n", command[0], strerror(errno));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) < 0) return 1;
    std::printf("%.4f %ld\n", double(timer.nsecsElapsed()) / 1e9, usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

int usage() {
    std::fputs(
        "Usage: zelprint-bench addtekst|surface FILE | bus-ping|bus-addtekst COUNT |"
        " bus-batch|bus-floor FILE SIZE | bus-template FILE | measure CMD ARG...\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const QString what = QString::fromLatin1(argv[1]);
    if (what == QLatin1String("measure")) return measure(argv + 2);
    const QString argument = QString::fromLocal8Bit(argv[2]);
    try {
        double seconds = 0;
        if (what == QLatin1String("bus-ping")) {
            seconds = zel::bench::pingSeconds(argument.toInt());
        } else if (what == QLatin1String("bus-addtekst")) {
            seconds = zel::bench::addTekstSeconds(argument.toInt());
        } else if (what == QLatin1String("bus-batch") && argc == 4) {
            seconds = zel::bench::batchSeconds(argument, std::atoi(argv[3]));
        } else if (what == QLatin1String("bus-floor") && argc == 4) {
            seconds = zel::bench::floorSeconds(argument, std::atoi(argv[3]));
        } else if (what == QLatin1String("bus-template")) {
            seconds = zel::bench::templateSeconds(argument);
        } else if (what == QLatin1String("addtekst") || what == QLatin1String("surface")) {
            zel::examples::ExampleApplication app(argc, argv);
            seconds = what == QLatin1String("addtekst") ? zel::bench::addTekstSeconds(argument)
                                                        : zel::bench::surfaceSeconds(argument);
        } else {
            return usage();
        }
        std::printf("%.4f\n", seconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zelprint-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
