#pragma once

#include <QStringList>

namespace zel {

// `zelprint print FILE [options]`: prints one file in process with one clsPrint and says
// where the job went. arguments are the command line without the program's name and the
// subcommand. Returns the exit code: 0 printed, 1 the job failed (one line on standard error,
// no job), 2 bad usage.
int printCommand(const QStringList& arguments, int argc, char** argv);

}  // namespace zel
